// "fast" checks everything but the boundaries; "slow" checks the pass mark.
#include "companion/grade.h"

#include <cstdio>
#include <string_view>

namespace {

int failures = 0;

void check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "failed: %s\n", what);
    ++failures;
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::string_view which = argc > 1 ? argv[1] : "";
  if (which == "fast") {
    check(sample::clamp(-3) == 0, "clamp(-3)");
    check(sample::passes(80), "80 passes");
    check(!sample::passes(20), "20 fails");
    check(sample::bonus(95) == 5, "bonus(95)");
    check(sample::bonus(50) == 0, "bonus(50)");
    sample::Tally tally;
    sample::record(tally, 7);
    check(tally.count == 1 && tally.sum == 7, "record(7)");
    check(sample::counts(true, true), "a score and a sum count");
    check(!sample::counts(false, true), "a sum without a score does not");
  } else {
    check(sample::passes(50), "50 passes");
  }
  return failures == 0 ? 0 : 1;
}
