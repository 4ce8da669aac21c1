// The bound system converter from UTF-8 to UTF-16.
#include "platform/win32/winstr.h"

#include "platform/errors.h"

namespace platform {

namespace {
constexpr UINT kUtf8CodePage = 65001;
}  // namespace

const BindingGroup& textConversionBindings() {
  using namespace textkernel32;
  static const BindingGroup group{"kernel32", {PLATFORM_TEXT_FUNCTIONS(PLATFORM_BINDING_ENTRY)}};
  return group;
}

WString wideFromUtf8(std::string_view utf8) {
  if (utf8.empty()) {
    return {};
  }
  const int byteCount = checkedInt32(static_cast<std::int64_t>(utf8.size()), "text length");
  const int needed =
      textkernel32::MultiByteToWideChar(kUtf8CodePage, 0, utf8.data(), byteCount, nullptr, 0);
  if (needed <= 0) {
    return {};
  }
  WString wide(static_cast<std::size_t>(needed), WCHAR{});
  const int written = textkernel32::MultiByteToWideChar(kUtf8CodePage, 0, utf8.data(), byteCount,
                                                        wide.data(), needed);
  wide.resize(static_cast<std::size_t>(written > 0 ? written : 0));
  return wide;
}

}  // namespace platform
