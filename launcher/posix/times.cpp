// Local time from the real-time clock and the C library's time-zone conversion.
#include "launcher/times.h"

#include <ctime>

namespace launcher {

namespace {

[[nodiscard]] DateTime fromBrokenDown(const std::tm& broken, long utcOffset, bool isDst) {
  DateTime result;
  result.year = broken.tm_year + 1900;
  result.month = broken.tm_mon + 1;
  result.day = broken.tm_mday;
  result.hour = broken.tm_hour;
  result.minute = broken.tm_min;
  result.second = broken.tm_sec;
  result.utcOffset = static_cast<std::int32_t>(utcOffset);
  result.isDst = isDst;
  return result;
}

}  // namespace

DateTime now() {
  ::timespec clock{};
  ::clock_gettime(CLOCK_REALTIME, &clock);
  // localtime_r need not read TZ again; tzset makes the zone the environment names now count.
  ::tzset();
  std::tm broken{};
  DateTime result;
  if (::localtime_r(&clock.tv_sec, &broken) != nullptr) {
    result = fromBrokenDown(broken, broken.tm_gmtoff, broken.tm_isdst > 0);
  } else if (::gmtime_r(&clock.tv_sec, &broken) != nullptr) {
    result = fromBrokenDown(broken, 0, false);
  }
  result.nanosecond = static_cast<std::int32_t>(clock.tv_nsec);
  return result;
}

}  // namespace launcher
