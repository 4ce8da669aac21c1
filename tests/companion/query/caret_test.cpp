// The address at the caret: the run of non-blanks around it, without the brackets, quotes and
// stops that surround it.
#include "companion/query/caret.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace {

struct CaretCase {
  const char* name;
  std::string_view line;
  std::size_t caret;
  std::optional<std::string> address;  // none: the word at the caret is searched
  bool cutBefore = false;
  bool cutAfter = false;
};

TEST(AddressAtCaret, TheRunAroundTheCaretWithoutWhatSurroundsIt) {
  const std::string query = "https://example.com/a?b=1";
  const std::string x = "https://e.example/x";
  const std::string wiki = "https://en.wikipedia.org/wiki/Foo_(bar)";
  const std::string wikiInText = wiki + ".";
  const CaretCase cases[] = {
      {"the caret at the start", "see https://example.com/a?b=1 now", 4, query},
      {"in the middle", "see https://example.com/a?b=1 now", 12, query},
      {"on the last character", "see https://example.com/a?b=1 now", 28, query},
      {"just after the last character", "see https://example.com/a?b=1 now", 29, query},
      {"in the word before", "see https://example.com/a?b=1 now", 2, std::nullopt},
      {"after the blank behind it", "see https://example.com/a?b=1 now", 30, std::nullopt},
      {"a bracket and a full stop after it", "(see https://e.example/x).", 10, x},
      {"just after it, before the bracket", "(see https://e.example/x).", 24, x},
      {"after the bracket it leaves out", "(see https://e.example/x).", 25, std::nullopt},
      {"trailing . , ; : ! ? left out", "https://e.example/x?!.,;:", 3, x},
      {"a bracket balanced inside kept", wikiInText, 9, wiki},
      {"a quote there an odd number of times left out", "https://e.example/a'b'c'", 3,
       "https://e.example/a'b'c"},
      {"square and angle brackets with no partner left out", "<[https://e.example/x]>", 5, x},
      {"a square bracket with its partner kept", "https://e.example/a[1]]", 5,
       "https://e.example/a[1]"},
      {"a quote before the scheme, its partner after", "\"https://e.example/x\",", 1, x},
      {"the caret on the opening bracket", "(https://e.example/x)", 0, std::nullopt},
      {"the caret just after the opening bracket", "(https://e.example/x)", 1, x},
      {"the scheme in capitals", "HTTPS://E.EXAMPLE/", 9, "HTTPS://E.EXAMPLE/"},
      {"a bare www. is a word", "www.example.com/x", 5, std::nullopt},
      {"the scheme alone", "see https:// now", 6, std::nullopt},
      {"the scheme later in the run", "url=https://e.example/x", 8, std::nullopt},
      {"tabs and line ends are blanks", "\thttps://e.example/x\r\n", 3, x},
      {"a run that reaches a cut end is not seen whole", "https://e.example/x", 3, std::nullopt,
       false, true},
      {"the line cut before a blank before it", "a https://e.example/x", 3, x, true},
      {"the line cut inside it before the caret", "https://e.example/x", 3, std::nullopt, true},
  };
  for (const auto& c : cases) {
    const auto run = companion::caretRun(
        {.text = c.line, .caret = c.caret, .cutBefore = c.cutBefore, .cutAfter = c.cutAfter});
    const auto address = run ? companion::addressAtCaret(run->before, run->after) : std::nullopt;
    EXPECT_EQ(address, c.address) << c.name;
  }
}

}  // namespace
