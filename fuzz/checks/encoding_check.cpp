// The GTK run's conversion of a document's bytes: any bytes, any code page and character set
// SciTE may report, to valid UTF-8 or to "no character here", never anything else.
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "companion/query/encoding.h"
#include "fuzz/checks/check.h"
#include "platform/posix/charset.h"
#include "platform/text.h"

namespace fuzz {

namespace {

// Every character set the GTK SciTE names a charset for, and some it names none for.
constexpr std::array kCharacterSets{0,   1,   2,   77,  128, 129, 130, 134, 136,  161,  162, 163,
                                    177, 178, 186, 204, 222, 238, 255, 866, 1000, 1251, 4242};
constexpr std::array kCodePages{0, 932, 936, 1252, companion::kUtf8CodePage};
constexpr std::size_t kHeaderBytes = 2;

}  // namespace

void checkEncoding(Bytes input) {
  if (input.size() < kHeaderBytes) {
    return;
  }
  const companion::EditorCodePages pages{
      .document = kCodePages[input[0] % kCodePages.size()],
      .characterSet = kCharacterSets[input[1] % kCharacterSets.size()],
      .output = companion::kUtf8CodePage};
  const std::string_view bytes = asText(input.subspan(kHeaderBytes));
  const companion::Encoding encoding =
      companion::documentEncoding(companion::EditorKind::gtk, pages);
  std::optional<std::string> converted;
  switch (encoding.kind) {
    case companion::Encoding::Kind::utf8:
      expect(pages.document == companion::kUtf8CodePage, "only a UTF-8 document is taken as it is");
      return;
    case companion::Encoding::Kind::latin1:
      converted = platform::latin1ToUtf8(bytes);
      break;
    case companion::Encoding::Kind::charset:
      converted = platform::utf8FromCharset(bytes, encoding.charset);
      break;
    case companion::Encoding::Kind::codePage:
      expect(false, "the GTK SciTE names no Windows code page");
  }
  if (!converted) {
    expect(!bytes.empty(), "an empty text converts");
    expect(encoding.kind == companion::Encoding::Kind::charset,
           "only a charset leaves a character without its end");
    return;
  }
  expect(platform::isUtf8(*converted), "the conversion is valid UTF-8");
  if (encoding ==
      companion::Encoding{.kind = companion::Encoding::Kind::charset, .charset = "ISO-8859-1"}) {
    expect(*converted == platform::latin1ToUtf8(bytes), "ISO-8859-1 through iconv is Latin-1");
  }
}

}  // namespace fuzz
