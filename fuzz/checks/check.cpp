// Reporting helpers shared by every check.
#include "fuzz/checks/check.h"

#include <cstdio>

namespace fuzz {

void expect(bool holds, std::string_view property) {
  if (!holds) {
    throw PropertyFailure(std::string(property));
  }
}

std::string shown(std::string_view bytes) {
  std::string out = "\"";
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte == '\\' || byte == '"') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte >= 0x7F) {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", byte);
      out += hex;
    } else {
      out += c;
    }
  }
  return out + '"';
}

}  // namespace fuzz
