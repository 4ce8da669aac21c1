// A file's whole text replaced at once on Windows, through the caller's bound functions, so that
// each program keeps its own slots and tests their fakes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "platform/text.h"
#include "platform/win32/system_message.h"
#include "platform/win32/win32.h"

namespace platform {

namespace detail {

// Through the C run time, as platform::readFileStart reads: any file name.
[[nodiscard]] inline std::FILE* openForWriting(const WString& file) {
#ifdef _WIN32
  return _wfopen(file.c_str(), L"wb");
#else
  return std::fopen(toUtf8(file).c_str(), "wb");
#endif
}

inline void removeFile(const WString& file) noexcept {
#ifdef _WIN32
  (void)_wremove(file.c_str());
#else
  (void)std::remove(toUtf8(file).c_str());
#endif
}

}  // namespace detail

// Writes `text` to a temporary file beside `path`, named with this process's id so that no two
// processes running at once share it, and moves it over `path`, writing through. Why it failed,
// in the system's words, or nothing; a failure leaves no temporary file behind. The twin of
// platform/posix/replace_file.h.
template <auto& GetCurrentProcessId, auto& MoveFileExW, auto& GetLastError, auto& FormatMessageW,
          auto& LocalFree>
[[nodiscard]] std::optional<std::string> replaceFile(const std::string& path,
                                                     std::string_view text) {
  const WString target = toUtf16(path);
  std::string suffix(1, '.');  // appended: GCC 12 misreads "literal" + std::string
  suffix += std::to_string(GetCurrentProcessId());
  suffix += ".tmp";
  const WString temporary = target + toUtf16(suffix);
  bool written = false;
  if (std::FILE* stream = detail::openForWriting(temporary)) {
    written = std::fwrite(text.data(), 1, text.size(), stream) == text.size();
    written = std::fclose(stream) == 0 && written;
  }
  if (written && MoveFileExW(temporary.c_str(), target.c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0) {
    return std::nullopt;
  }
  // The C run time's open and the move both leave the system's reason.
  const DWORD error = GetLastError();
  detail::removeFile(temporary);
  std::string reason = systemMessage<FormatMessageW, LocalFree>(
      static_cast<std::int32_t>(error != 0 ? error : ERROR_WRITE_FAULT));
  return reason.empty() ? "unknown error" : reason;
}

}  // namespace platform
