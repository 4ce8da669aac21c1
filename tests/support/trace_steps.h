// The steps a program's trace marked, in order, without their times and process ids: what a test
// compares whole.
#pragma once

#include <sstream>
#include <string>
#include <string_view>

namespace test_support {

// Each line's step, after its time and process id, joined by ", ".
[[nodiscard]] inline std::string stepsIn(std::string_view trace) {
  std::string steps;
  std::istringstream lines{std::string(trace)};
  for (std::string time, pid, step; lines >> time >> pid && std::getline(lines >> std::ws, step);) {
    steps += (steps.empty() ? "" : ", ") + step;
  }
  return steps;
}

}  // namespace test_support
