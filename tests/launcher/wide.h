// UTF-16 literals as the platform's wide strings (char16_t here, wchar_t on Windows).
#pragma once

#include <string_view>

#include "platform/win32.h"

namespace launcher_test {

inline WString wide(std::u16string_view units) {
  WString out;
  for (const char16_t unit : units) {
    out.push_back(static_cast<WCHAR>(unit));
  }
  return out;
}

}  // namespace launcher_test
