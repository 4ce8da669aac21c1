// The local time stamp: the current local date-time and its formatting.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace launcher {

// A local calendar date and wall-clock time, with the local offset from UTC at that instant.
struct DateTime {
  std::int32_t year = 1970;
  std::int32_t month = 1;  // 1 to 12
  std::int32_t day = 1;    // 1 to 31
  std::int32_t hour = 0;   // 0 to 23
  std::int32_t minute = 0;
  std::int32_t second = 0;
  std::int32_t nanosecond = 0;
  std::int32_t utcOffset = 0;  // seconds east of UTC
  bool isDst = false;
};

// The current instant in the local time zone. Should the run time have no local time for it,
// the instant is given in UTC.
[[nodiscard]] DateTime now();

// Writes `pattern` with "yyyy", "MM", "dd", "HH" (24-hour clock), "mm" and "ss" replaced by the
// zero-padded fields; every other character stands for itself. The banner uses "[HH:mm:ss]".
[[nodiscard]] std::string format(const DateTime& dateTime, std::string_view pattern);

// The calendar fields of a broken-down time, and whether it is daylight saving time; the offset
// from UTC and the nanoseconds are left to the caller, which knows the instant.
[[nodiscard]] DateTime calendarFields(const std::tm& broken);

}  // namespace launcher
