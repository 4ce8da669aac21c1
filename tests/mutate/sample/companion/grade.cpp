// Faulted by scripts/mutate's own test, which takes the lines between the markers as the change.
#include "companion/grade.h"

namespace sample {

int clamp(int value) {
  return value < 0 ? 0 : value;
}

void add(Tally& tally, int score) {
  ++tally.count;
  tally.sum += score;
}

// mutate-sample: the change begins
static_assert(sizeof(int) == 4);

bool passes(int score) {
  return score >= 50;  // only the slow test tries 50
}

int bonus(int score) {
  if (score > 90) {  // no test tries 90
    return 5;
  }
  return 0;
}

void record(Tally& tally, int score) {
  add(tally, score);
}

bool counts(bool scored, bool summed) {
  return scored && summed;  // no test has a score without a sum
}
// mutate-sample: the change ends

}  // namespace sample
