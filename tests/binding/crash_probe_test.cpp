// A test program that crashes. Its test is expected to fail: this proves that a crash counts as a
// failure on this test bed rather than passing, or hanging on a crash dialog nobody sees.
#include <gtest/gtest.h>

namespace {

TEST(CrashProbe, DereferencesNull) {
  int* volatile nowhere = nullptr;
  const int value = *nowhere;
  EXPECT_EQ(value, 0);
}

}  // namespace
