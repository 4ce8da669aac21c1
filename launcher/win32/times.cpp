// Local time from the system clock and the run time's time-zone conversion.
#include "launcher/times.h"

#include <chrono>
#include <ctime>

#include "launcher/win32/syscalls.h"

namespace launcher {

namespace {

constexpr std::uint64_t kTicksPerSecond = 10'000'000;  // the system clock counts 100 ns
constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;
constexpr std::int32_t kNanosecondsPerTick = 100;

// The run time's local broken-down time of a UTC instant; false when it has none.
bool localTime(std::int64_t unixSeconds, std::tm& out) noexcept {
#ifdef _WIN32
  const __time64_t instant = unixSeconds;
  const std::tm* local = ::_localtime64(&instant);
  if (local == nullptr) {
    return false;
  }
  out = *local;
  return true;
#else
  const auto instant = static_cast<std::time_t>(unixSeconds);
  return ::localtime_r(&instant, &out) != nullptr;
#endif
}

[[nodiscard]] std::int64_t daysSince1970(std::int32_t year, std::int32_t month, std::int32_t day) {
  const std::chrono::year_month_day date{std::chrono::year{year},
                                         std::chrono::month{static_cast<unsigned>(month)},
                                         std::chrono::day{static_cast<unsigned>(day)}};
  return std::chrono::sys_days{date}.time_since_epoch().count();
}

[[nodiscard]] DateTime fromLocal(const std::tm& local, std::int64_t unixSeconds) {
  DateTime result = calendarFields(local);
  const std::int64_t wallSeconds = daysSince1970(result.year, result.month, result.day) * 86'400 +
                                   std::int64_t{result.hour} * 3'600 +
                                   std::int64_t{result.minute} * 60 + result.second;
  result.utcOffset = static_cast<std::int32_t>(wallSeconds - unixSeconds);
  return result;
}

[[nodiscard]] DateTime fromUtc(std::int64_t unixSeconds) {
  const std::chrono::sys_seconds instant{std::chrono::seconds{unixSeconds}};
  const auto days = std::chrono::floor<std::chrono::days>(instant);
  const std::chrono::year_month_day date{days};
  const std::chrono::hh_mm_ss clock{instant - days};
  DateTime result;
  result.year = static_cast<int>(date.year());
  result.month = static_cast<std::int32_t>(static_cast<unsigned>(date.month()));
  result.day = static_cast<std::int32_t>(static_cast<unsigned>(date.day()));
  result.hour = static_cast<std::int32_t>(clock.hours().count());
  result.minute = static_cast<std::int32_t>(clock.minutes().count());
  result.second = static_cast<std::int32_t>(clock.seconds().count());
  return result;
}

}  // namespace

DateTime now() {
  FILETIME fileTime{};
  kernel32::GetSystemTimeAsFileTime(&fileTime);
  const std::uint64_t ticks =
      (std::uint64_t{fileTime.dwHighDateTime} << 32) | fileTime.dwLowDateTime;
  const std::int64_t unixSeconds =
      static_cast<std::int64_t>(ticks / kTicksPerSecond) - kSecondsFrom1601To1970;
  std::tm local{};
  DateTime result =
      localTime(unixSeconds, local) ? fromLocal(local, unixSeconds) : fromUtc(unixSeconds);
  result.nanosecond = static_cast<std::int32_t>(ticks % kTicksPerSecond) * kNanosecondsPerTick;
  return result;
}

}  // namespace launcher
