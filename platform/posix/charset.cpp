// iconv over the whole text, falling back to Latin-1 byte by byte where it refuses one.
#include "platform/posix/charset.h"

#include <iconv.h>

#include <array>
#include <cerrno>

#include "platform/owner.h"
#include "platform/text.h"

namespace platform {

namespace {

using Converter = Unique<iconv_t, ::iconv_close>;

constexpr std::size_t kChunkBytes = 512;

}  // namespace

std::optional<std::string> utf8FromCharset(std::string_view bytes, std::string_view charset) {
  const iconv_t opened = iconv_open("UTF-8", std::string(charset).c_str());
  // NOLINTNEXTLINE(performance-no-int-to-ptr): iconv's own "no converter"
  if (opened == reinterpret_cast<iconv_t>(-1)) {
    return latin1ToUtf8(bytes);
  }
  const Converter converter(opened);
  std::string out;
  std::array<char, kChunkBytes> chunk{};
  // iconv's signature takes the input as non-const; it only reads it.
  char* in = const_cast<char*>(bytes.data());  // NOLINT(cppcoreguidelines-pro-type-const-cast)
  std::size_t inLeft = bytes.size();
  while (inLeft > 0) {
    char* outAt = chunk.data();
    std::size_t outLeft = chunk.size();
    const std::size_t converted = iconv(converter.get(), &in, &inLeft, &outAt, &outLeft);
    const int error = errno;
    out.append(chunk.data(), static_cast<std::size_t>(outAt - chunk.data()));
    if (converted != static_cast<std::size_t>(-1) || error == E2BIG) {
      continue;
    }
    if (error != EILSEQ) {  // EINVAL: cut off inside a character
      return std::nullopt;
    }
    out += latin1ToUtf8(std::string_view(in, 1));
    ++in;
    --inLeft;
  }
  return out;
}

}  // namespace platform
