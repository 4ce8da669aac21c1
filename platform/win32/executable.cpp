// Asking for the own path with a buffer that grows until the answer fits.
#include "platform/win32/executable.h"

#include <array>
#include <cstdint>

namespace platform {

namespace {

constexpr DWORD kInitialUnits = 260;
// Beyond the longest path the system supports; a system that still fills this has no answer.
constexpr DWORD kMaxUnits = 1U << 17;

}  // namespace

WString executablePath(decltype(&::GetModuleFileNameW) getModuleFileName) {
  WString buffer;
  DWORD size = kInitialUnits;
  while (true) {
    buffer.assign(size, WCHAR{0});
    const DWORD length = getModuleFileName(nullptr, buffer.data(), size);
    if (length == 0) {
      return {};
    }
    // A path that does not fit comes back cut, with the buffer's size as its length.
    if (length < size) {
      buffer.resize(length);
      return buffer;
    }
    const std::uint64_t next = length > size ? std::uint64_t{length} + 1 : std::uint64_t{size} * 2;
    if (next > kMaxUnits) {
      return {};
    }
    size = static_cast<DWORD>(next);
  }
}

WString executableFolder(decltype(&::GetModuleFileNameW) getModuleFileName) {
  WString path = executablePath(getModuleFileName);
  constexpr std::array<WCHAR, 2> kSeparators{WCHAR{'\\'}, WCHAR{'/'}};
  const auto separator = path.find_last_of(kSeparators.data(), WString::npos, kSeparators.size());
  path.resize(separator == WString::npos ? 0 : separator + 1);
  return path;
}

}  // namespace platform
