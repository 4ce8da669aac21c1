// Reading the start of a file, and a file opened to append to.
#pragma once

#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>

#include "platform/owner.h"
#include "platform/wide.h"

namespace platform {

// Up to `most` bytes from where the stream stands, read a page at a time: a short file costs no
// more memory than it holds (each fresh page touched is a page fault at start-up).
[[nodiscard]] std::string readUpTo(std::FILE* stream, std::size_t most);

// Up to `most` bytes from the start of the file at `path`; nothing when it cannot be opened. The
// path comes in UTF-8, or in UTF-16, in which Windows opens any file name.
[[nodiscard]] std::optional<std::string> readFileStart(const std::string& path, std::size_t most);
[[nodiscard]] std::optional<std::string> readFileStart(const WString& path, std::size_t most);

using UniqueFile = Unique<std::FILE*, std::fclose>;

// The file at `path` opened to append to, created when missing, unbuffered, so that each write
// reaches it at once; null when it cannot be opened.
[[nodiscard]] UniqueFile openToAppend(const WString& path);

}  // namespace platform
