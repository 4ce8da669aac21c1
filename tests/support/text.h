// Text in the platform's two forms for tests, converted by the product's portable rules and
// never through the bound system converter, whose slots a test may have replaced.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/text.h"
#include "platform/win32/win32.h"

namespace test_support {

// UTF-16 literals unit by unit, lone surrogates included (char16_t here, wchar_t on Windows).
[[nodiscard]] inline WString wide(std::u16string_view units) {
  return {units.begin(), units.end()};
}

[[nodiscard]] inline WString wide(std::string_view utf8) {
  return platform::toUtf16(utf8);
}

// An absent text reads as empty.
[[nodiscard]] inline std::string narrow(const WCHAR* text) {
  return text == nullptr ? std::string() : platform::toUtf8(text);
}

[[nodiscard]] inline std::filesystem::path pathFromUtf8(std::string_view utf8) {
  return {platform::toUtf16(utf8)};
}

[[nodiscard]] inline std::string utf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return {text.begin(), text.end()};
}

}  // namespace test_support
