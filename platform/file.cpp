// Reading the start of a file, a page at a time, and a file opened to append to.
#include "platform/file.h"

#include <algorithm>
#include <array>

#include "platform/owner.h"
#include "platform/text.h"

namespace platform {

std::string readUpTo(std::FILE* stream, std::size_t most) {
  constexpr std::size_t kPage = 4096;
  std::array<char, kPage> chunk{};
  std::string text;
  while (text.size() < most) {
    const std::size_t wanted = std::min(chunk.size(), most - text.size());
    const std::size_t got = std::fread(chunk.data(), 1, wanted, stream);
    text.append(chunk.data(), got);
    if (got < wanted) {
      break;
    }
  }
  return text;
}

namespace {

// Through the C run time: the stream library would double a program's size, and
// std::filesystem would bring in the system's error texts.
[[nodiscard]] std::optional<std::string> readOpened(std::FILE* file, std::size_t most) {
  const UniqueFile stream(file);
  if (!stream) {
    return std::nullopt;
  }
  return readUpTo(stream.get(), most);
}

}  // namespace

std::optional<std::string> readFileStart(const std::string& path, std::size_t most) {
#ifdef _WIN32
  return readFileStart(toUtf16(path), most);
#else
  return readOpened(std::fopen(path.c_str(), "rb"), most);
#endif
}

std::optional<std::string> readFileStart(const WString& path, std::size_t most) {
#ifdef _WIN32
  return readOpened(_wfopen(path.c_str(), L"rb"), most);
#else
  return readFileStart(toUtf8(path), most);
#endif
}

UniqueFile openToAppend(const WString& path) {
#ifdef _WIN32
  UniqueFile file(_wfopen(path.c_str(), L"ab"));
#else
  UniqueFile file(std::fopen(toUtf8(path).c_str(), "ab"));
#endif
  if (file) {
    (void)std::setvbuf(file.get(), nullptr, _IONBF, 0);
  }
  return file;
}

}  // namespace platform
