// Reading the start of an open file.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace platform {

// Up to `most` bytes from where the stream stands, read a page at a time: a short file costs no
// more memory than it holds (each fresh page touched is a page fault at start-up).
[[nodiscard]] std::string readUpTo(std::FILE* stream, std::size_t most);

}  // namespace platform
