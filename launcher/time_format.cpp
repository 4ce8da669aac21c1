// A broken-down time's fields and writing a date-time by a pattern: pure, shared by the Windows
// and the POSIX time stamp.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "launcher/times.h"

namespace launcher {

namespace {

void appendPadded(std::string& out, std::int32_t value, std::size_t width) {
  std::string digits = std::to_string(value);
  if (digits.size() < width) {
    out.append(width - digits.size(), '0');
  }
  out += digits;
}

}  // namespace

std::string format(const DateTime& dateTime, std::string_view pattern) {
  struct Field {
    std::string_view token;
    std::int32_t DateTime::*value;
  };
  static constexpr std::array<Field, 6> kFields = {{
      {"yyyy", &DateTime::year},
      {"MM", &DateTime::month},
      {"dd", &DateTime::day},
      {"HH", &DateTime::hour},
      {"mm", &DateTime::minute},
      {"ss", &DateTime::second},
  }};
  std::string out;
  std::size_t pos = 0;
  while (pos < pattern.size()) {
    const Field* match = nullptr;
    for (const Field& field : kFields) {
      if (pattern.substr(pos).starts_with(field.token)) {
        match = &field;
        break;
      }
    }
    if (match == nullptr) {
      out += pattern[pos++];
      continue;
    }
    appendPadded(out, dateTime.*(match->value), match->token.size());
    pos += match->token.size();
  }
  return out;
}

DateTime calendarFields(const std::tm& broken) {
  DateTime result;
  result.year = broken.tm_year + 1900;
  result.month = broken.tm_mon + 1;
  result.day = broken.tm_mday;
  result.hour = broken.tm_hour;
  result.minute = broken.tm_min;
  result.second = broken.tm_sec;
  result.isDst = broken.tm_isdst > 0;
  return result;
}

}  // namespace launcher
