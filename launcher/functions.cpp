// Finding the program's own executable.
#include "launcher/functions.h"

#include <cstdint>

#include "launcher/paths.h"
#include "launcher/syscalls.h"
#include "platform/text.h"

namespace launcher {

namespace {

constexpr DWORD kInitialUnits = 260;
// Beyond the longest path the system supports; a system that still fills this has no answer.
constexpr DWORD kMaxUnits = 1U << 17;

}  // namespace

std::string getAppFilename() {
  WString buffer;
  DWORD size = kInitialUnits;
  while (true) {
    buffer.assign(size, WCHAR{0});
    const DWORD length = kernel32::GetModuleFileNameW(nullptr, buffer.data(), size);
    if (length == 0) {
      return {};
    }
    // A path that does not fit comes back cut, with the buffer's size as its length.
    if (length < size) {
      return platform::toUtf8(WStringView(buffer.data(), length));
    }
    const std::uint64_t next = length > size ? std::uint64_t{length} + 1 : std::uint64_t{size} * 2;
    if (next > kMaxUnits) {
      return {};
    }
    size = static_cast<DWORD>(next);
  }
}

std::string CurrentDir() {
  return splitPath(getAppFilename()).head;
}

}  // namespace launcher
