// The time stamp: field formatting, and the clock reading turned into local time.
#include "launcher/times.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "launcher/win32/syscalls.h"
#include "tests/support/slot_swap.h"

namespace {

using launcher::DateTime;
using launcher::format;
using launcher::now;
using test_support::SlotSwap;

DateTime at(std::int32_t hour, std::int32_t minute, std::int32_t second) {
  DateTime t;
  t.year = 2026;
  t.month = 1;
  t.day = 2;
  t.hour = hour;
  t.minute = minute;
  t.second = second;
  return t;
}

TEST(Format, BannerStampIsTenCharactersWithLeadingZeros) {
  const std::pair<DateTime, std::string_view> cases[] = {
      {at(0, 0, 3), "[00:00:03]"},    {at(9, 5, 7), "[09:05:07]"},  {at(14, 3, 9), "[14:03:09]"},
      {at(23, 59, 59), "[23:59:59]"}, {at(12, 0, 0), "[12:00:00]"},
  };
  for (const auto& [time, expected] : cases) {
    EXPECT_EQ(format(time, "[HH:mm:ss]"), expected);
  }
}

TEST(Format, DateFieldsAndLiterals) {
  EXPECT_EQ(format(at(3, 4, 5), "yyyy-MM-dd HH:mm:ss"), "2026-01-02 03:04:05");
  EXPECT_EQ(format(at(3, 4, 5), "at H:m, s"), "at H:m, s");
  EXPECT_EQ(format(at(3, 4, 5), ""), "");
  EXPECT_EQ(format(at(3, 4, 5), "HHH"), "03H");
}

// 2021-07-01 12:34:56.789 UTC on the system clock (100 ns since 1601).
constexpr std::int64_t kSummerSeconds = 1'625'142'896;
constexpr std::int64_t kWinterSeconds = 1'609'504'496;  // 2021-01-01 12:34:56 UTC
constexpr std::uint64_t kFraction = 7'891'234;          // 0.7891234 s

struct FakeClock {
  static inline std::uint64_t ticks = 0;
  static void set(std::int64_t unixSeconds) {
    ticks = static_cast<std::uint64_t>(unixSeconds + 11'644'473'600) * 10'000'000 + kFraction;
  }
  static void WINAPI getSystemTimeAsFileTime(LPFILETIME time) {
    time->dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFF);
    time->dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  }
};

class Now : public ::testing::Test {
protected:
  SlotSwap<launcher::kernel32::GetSystemTimeAsFileTime> slot_{&FakeClock::getSystemTimeAsFileTime};
};

TEST_F(Now, ClockReadingBecomesTheRunTimesLocalTime) {
  for (const std::int64_t seconds : {kSummerSeconds, kWinterSeconds}) {
    FakeClock::set(seconds);
    const DateTime t = now();
    const auto instant = static_cast<std::time_t>(seconds);
    const std::tm expected = *std::localtime(&instant);
    EXPECT_EQ(t.year, expected.tm_year + 1900);
    EXPECT_EQ(t.month, expected.tm_mon + 1);
    EXPECT_EQ(t.day, expected.tm_mday);
    EXPECT_EQ(t.hour, expected.tm_hour);
    EXPECT_EQ(t.minute, expected.tm_min);
    EXPECT_EQ(t.second, expected.tm_sec);
    EXPECT_EQ(t.isDst, expected.tm_isdst > 0);
    EXPECT_EQ(t.nanosecond, 789'123'400);
    EXPECT_EQ(t.utcOffset % 900, 0);
  }
}

#ifndef _WIN32
// Runs a check with the process's time zone set to `zone`, and puts the old one back.
class TimeZone {
public:
  explicit TimeZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) {
      saved_ = old;
    }
    ::setenv("TZ", zone, 1);
    ::tzset();
  }
  TimeZone(const TimeZone&) = delete;
  TimeZone& operator=(const TimeZone&) = delete;
  ~TimeZone() {
    if (saved_) {
      ::setenv("TZ", saved_->c_str(), 1);
    } else {
      ::unsetenv("TZ");
    }
    ::tzset();
  }

private:
  std::optional<std::string> saved_;
};

TEST_F(Now, OffsetAndDaylightSavingFollowTheZone) {
  struct Case {
    const char* zone;
    std::int64_t seconds;
    std::string_view stamp;
    std::int32_t offset;
    bool dst;
  };
  const Case cases[] = {
      {"CET-1CEST,M3.5.0,M10.5.0/3", kSummerSeconds, "2021-07-01 14:34:56", 7200, true},
      {"CET-1CEST,M3.5.0,M10.5.0/3", kWinterSeconds, "2021-01-01 13:34:56", 3600, false},
      {"UTC0", kSummerSeconds, "2021-07-01 12:34:56", 0, false},
      {"EST5EDT,M3.2.0,M11.1.0", kWinterSeconds, "2021-01-01 07:34:56", -18000, false},
      {"<+0545>-5:45", kWinterSeconds, "2021-01-01 18:19:56", 20700, false},
      {"<-12>12", kWinterSeconds, "2021-01-01 00:34:56", -43200, false},
  };
  for (const auto& c : cases) {
    const TimeZone zone(c.zone);
    FakeClock::set(c.seconds);
    const DateTime t = now();
    EXPECT_EQ(format(t, "yyyy-MM-dd HH:mm:ss"), c.stamp) << c.zone;
    EXPECT_EQ(t.utcOffset, c.offset) << c.zone;
    EXPECT_EQ(t.isDst, c.dst) << c.zone;
  }
}

TEST_F(Now, MidnightPlusThreeSecondsInUtc) {
  const TimeZone zone("UTC0");
  FakeClock::set(1'609'459'203);  // 2021-01-01 00:00:03 UTC
  EXPECT_EQ(format(now(), "[HH:mm:ss]"), "[00:00:03]");
}
#endif

}  // namespace
