// The editor component's own tables, from the character set to what it draws the bytes in.
#include "companion/query/encoding.h"

#include <array>
#include <utility>

namespace companion {

namespace {

constexpr int kAnsiCharacterSet = 0;
constexpr int kDefaultCharacterSet = 1;
constexpr std::uint32_t kWesternCodePage = 1252;

// SciTE for Windows: character sets with a code page of their own. The default set, the symbol
// set, the Cyrillic one and any unknown one keep the document's.
constexpr std::array<std::pair<int, std::uint32_t>, 18> kWindowsCodePages{{
    {kAnsiCharacterSet, kWesternCodePage},
    {186, 1257},
    {136, 950},
    {238, 1250},
    {134, 936},
    {161, 1253},
    {129, 949},
    {77, 10000},
    {255, 437},
    {204, 1251},
    {128, 932},
    {162, 1254},
    {130, 1361},
    {177, 1255},
    {178, 1256},
    {163, 1258},
    {222, 874},
    {1000, 28605},
}};

// The GTK SciTE: the iconv charset of each character set. The rest name none, and the default
// set names ISO-8859-1: both are Latin-1, which needs no conversion module loaded at each run.
constexpr std::array<std::pair<int, std::string_view>, 18> kGtkCharsets{{
    {186, "ISO-8859-13"},
    {136, "BIG-5"},
    {238, "ISO-8859-2"},
    {134, "CP936"},
    {161, "ISO-8859-7"},
    {129, "CP949"},
    {77, "MACINTOSH"},
    {255, "ASCII"},
    {204, "KOI8-R"},
    {866, "CP866"},
    {1251, "CP1251"},
    {128, "SHIFT-JIS"},
    {162, "ISO-8859-9"},
    {130, "CP1361"},
    {177, "ISO-8859-8"},
    {178, "ISO-8859-6"},
    {222, "ISO-8859-11"},
    {1000, "ISO-8859-15"},
}};

[[nodiscard]] Encoding windowsEncoding(const EditorCodePages& pages) {
  const auto document = static_cast<std::uint32_t>(pages.document);
  if (pages.characterSet == kDefaultCharacterSet) {
    return {.kind = Encoding::Kind::codePage,
            .codePage = document != 0 ? document : kWesternCodePage};
  }
  for (const auto& [characterSet, codePage] : kWindowsCodePages) {
    if (characterSet == pages.characterSet) {
      return {.kind = Encoding::Kind::codePage, .codePage = codePage};
    }
  }
  return {.kind = Encoding::Kind::codePage, .codePage = document};
}

[[nodiscard]] Encoding gtkEncoding(const EditorCodePages& pages) {
  for (const auto& [characterSet, charset] : kGtkCharsets) {
    if (characterSet == pages.characterSet) {
      return {.kind = Encoding::Kind::charset, .charset = charset};
    }
  }
  return {.kind = Encoding::Kind::latin1};
}

}  // namespace

Encoding documentEncoding(EditorKind editor, const EditorCodePages& pages) {
  if (pages.document == kUtf8CodePage) {
    return {};
  }
  return editor == EditorKind::windows ? windowsEncoding(pages) : gtkEncoding(pages);
}

Encoding outputPaneEncoding(EditorKind editor, const EditorCodePages& pages) {
  return documentEncoding(editor, {.document = pages.output, .characterSet = pages.characterSet});
}

std::string encodingName(const Encoding& encoding) {
  switch (encoding.kind) {
    case Encoding::Kind::codePage:
      return encoding.codePage == 0 ? "ANSI code page"
                                    : "code page " + std::to_string(encoding.codePage);
    case Encoding::Kind::charset:
      return std::string(encoding.charset);
    case Encoding::Kind::latin1:
      return "ISO-8859-1";
    case Encoding::Kind::utf8:
      break;
  }
  return "UTF-8";
}

}  // namespace companion
