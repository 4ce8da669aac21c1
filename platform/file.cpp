// Reading the start of an open file, a page at a time.
#include "platform/file.h"

#include <algorithm>
#include <array>

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

}  // namespace platform
