// Reading the start of a file, a page at a time.
#include "platform/file.h"

#include <algorithm>
#include <array>

#include "platform/owner.h"

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

// Through the C run time: the stream library would double a program's size.
std::optional<std::string> readFileStart(const std::filesystem::path& path, std::size_t most) {
#ifdef _WIN32
  const Unique<std::FILE*, std::fclose> stream(_wfopen(path.c_str(), L"rb"));  // any file name
#else
  const Unique<std::FILE*, std::fclose> stream(std::fopen(path.c_str(), "rb"));
#endif
  if (!stream) {
    return std::nullopt;
  }
  return readUpTo(stream.get(), most);
}

}  // namespace platform
