// The bound system converter from a code page to UTF-16, then the run time's to UTF-8.
#include "platform/win32/codepage.h"

#include "platform/errors.h"
#include "platform/text.h"

namespace platform {

namespace {

// Whether the last character is a lead byte alone: lead bytes are walked from the start, since
// a trail byte may have any value a lead byte has.
[[nodiscard]] bool endsInLoneLeadByte(std::string_view bytes, UINT codePage) {
  std::size_t at = 0;
  while (at < bytes.size()) {
    const auto byte = static_cast<BYTE>(bytes[at]);
    if (codepage::IsDBCSLeadByteEx(codePage, byte) == FALSE) {
      ++at;
    } else if (at + 1 == bytes.size()) {
      return true;
    } else {
      at += 2;
    }
  }
  return false;
}

}  // namespace

std::optional<std::string> utf8FromCodePage(std::string_view bytes, std::uint32_t codePage) {
  if (endsInLoneLeadByte(bytes, codePage)) {
    return std::nullopt;
  }
  if (bytes.empty()) {
    return std::string();
  }
  const int byteCount = checkedInt32(static_cast<std::int64_t>(bytes.size()), "text length");
  const int needed =
      codepage::MultiByteToWideChar(codePage, 0, bytes.data(), byteCount, nullptr, 0);
  if (needed <= 0) {
    return std::nullopt;
  }
  WString wide(static_cast<std::size_t>(needed), WCHAR{});
  const int written =
      codepage::MultiByteToWideChar(codePage, 0, bytes.data(), byteCount, wide.data(), needed);
  wide.resize(static_cast<std::size_t>(written > 0 ? written : 0));
  return toUtf8(WStringView(wide));
}

}  // namespace platform
