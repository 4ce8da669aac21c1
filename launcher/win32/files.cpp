// File test through the path's attribute bits.
#include "launcher/files.h"

#include "launcher/win32/syscalls.h"
#include "platform/text.h"

namespace launcher {

bool existsFile(std::string_view path) {
  // The system would read only up to a NUL and so test some other, shorter path.
  if (path.find('\0') != std::string_view::npos) {
    return false;
  }
  const WString wide = platform::toUtf16(path);
  const DWORD attributes = kernel32::GetFileAttributesW(wide.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace launcher
