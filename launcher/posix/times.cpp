// Local time from the real-time clock and the C library's time-zone conversion.
#include "launcher/times.h"

#include <ctime>

namespace launcher {

DateTime now() {
  ::timespec clock{};
  ::clock_gettime(CLOCK_REALTIME, &clock);
  // localtime_r need not read TZ again; tzset makes the zone the environment names now count.
  ::tzset();
  std::tm broken{};
  DateTime result;
  if (::localtime_r(&clock.tv_sec, &broken) != nullptr ||
      ::gmtime_r(&clock.tv_sec, &broken) != nullptr) {  // UTC: no offset, no daylight saving
    result = calendarFields(broken);
    result.utcOffset = static_cast<std::int32_t>(broken.tm_gmtoff);
  }
  result.nanosecond = static_cast<std::int32_t>(clock.tv_nsec);
  return result;
}

}  // namespace launcher
