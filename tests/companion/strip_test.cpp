// The strip's parts over plain data: the Lua literal of user text and the recent searches.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "companion/recent/history.h"
#include "companion/recent/recent.h"
#include "companion/scite/lua_literal.h"

namespace {

using namespace std::string_literals;
using Searches = std::vector<std::string>;

TEST(LuaLiteral, EscapesEveryByteButPrintableAscii) {
  struct Case {
    const char* name;
    std::string text;
    std::string literal;
  };
  const Case cases[] = {
      {"empty", "", "''"},
      {"printable ASCII as it is", "a \"b\" ~$(x)", "'a \"b\" ~$(x)'"},
      {"the quote", "it's", "'it\\\\039s'"},
      {"the backslash", "C:\\x", "'C:\\\\092x'"},
      {"a digit after an escape stays apart", "\n1", "'\\\\0101'"},
      {"NUL and DEL", "\0\x7F"s, "'\\\\000\\\\127'"},
      {"UTF-8 byte by byte", "\xC3\xBC", "'\\\\195\\\\188'"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(companion::luaLiteral(c.text), c.literal) << c.name;
  }
}

TEST(History, NewestFirstWithoutRepeatsWithinTheBounds) {
  using companion::kMaxSearchBytes;
  const std::string longest(kMaxSearchBytes, 'x');
  // Distinct searches of the longest size that fill the byte bound exactly.
  Searches full;
  Searches aThenAllButOldest{"a"};
  for (char last = 'A'; full.size() < companion::kMaxHistoryBytes / kMaxSearchBytes; ++last) {
    full.push_back(std::string(kMaxSearchBytes - 1, 'x') + last);
  }
  aThenAllButOldest.insert(aThenAllButOldest.end(), full.begin(), full.end() - 1);
  struct Case {
    const char* name;
    Searches before;
    std::string search;
    std::size_t size;
    Searches after;
  };
  const Case cases[] = {
      {"the newest first", {"b", "c"}, "a", 20, {"a", "b", "c"}},
      {"a repeat moves to the front", {"b", "a", "c"}, "a", 20, {"a", "b", "c"}},
      {"the size reached: nothing dropped", {"b", "c"}, "a", 3, {"a", "b", "c"}},
      {"one beyond the size: the oldest dropped", {"b", "c", "d"}, "a", 3, {"a", "b", "c"}},
      {"size 1: the newest alone", {"b"}, "a", 1, {"a"}},
      {"size 0 remembers nothing", {}, "a", 0, {}},
      {"the longest search kept", {}, longest, 20, {longest}},
      {"one byte longer: not remembered", {"b"}, longest + "x", 20, {"b"}},
      {"a control byte: not remembered", {"b"}, "a\tb", 20, {"b"}},
      {"DEL is a control byte", {"b"}, "a\x7F", 20, {"b"}},
      {"not UTF-8: not remembered", {"b"}, "caf\xE9", 20, {"b"}},
      {"within the byte bound: nothing dropped", Searches(full.begin(), full.end() - 1), "a", 20,
       aThenAllButOldest},
      {"the byte bound exactly: all kept", Searches(full.begin() + 1, full.end()), full.front(), 20,
       full},
      {"one byte beyond the bound: the oldest dropped", full, "a", 20, aThenAllButOldest},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(companion::remembered(c.before, c.search, c.size), c.after) << c.name;
  }
}

TEST(History, ReadsTolerantly) {
  const std::string tooLong(companion::kMaxSearchBytes + 1, 'x');
  struct Case {
    const char* name;
    std::string text;
    std::size_t size;
    Searches searches;
  };
  const Case cases[] = {
      {"one search a line", "a b\nc\n", 20, {"a b", "c"}},
      {"no line feed at the end", "a\nc", 20, {"a", "c"}},
      {"CR LF", "a\r\nc\r\n", 20, {"a", "c"}},
      {"a line that is not UTF-8 dropped", "a\ncaf\xE9\nc\n", 20, {"a", "c"}},
      {"a line too long dropped", "a\n" + tooLong + "\nc\n", 20, {"a", "c"}},
      {"empty lines and repeats dropped", "a\n\na\nc\n", 20, {"a", "c"}},
      {"a NUL dropped", "a\nx\0y\nc"s, 20, {"a", "c"}},
      {"the size read", "a\nb\nc\n", 2, {"a", "b"}},
      {"nothing", "", 20, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(companion::historyFromFile(c.text, c.size), c.searches) << c.name;
  }
}

TEST(History, WrittenFormsReadBack) {
  const Searches cases[] = {{},
                            {"a"},
                            {"fetch abort signal",
                             "gr\xC3\xBC\xC3\x9F"
                             "e",
                             "C:\\x"}};
  for (const Searches& searches : cases) {
    const std::string value = companion::historyPropertyValue(searches);
    EXPECT_EQ(value.find_first_of("\r\n"), std::string::npos);
    EXPECT_EQ(companion::historyFromProperty(value, 20), searches);
    EXPECT_EQ(companion::historyFromFile(companion::historyFileText(searches), 20), searches);
  }
  EXPECT_EQ(companion::historyFromProperty("", 20), std::nullopt);  // never set in this SciTE
}

// websearch.ask.<ext> counts first where it is set; a value is on as SciTE reads a number.
TEST(History, TheStripAskedByWebsearchAsk) {
  struct AskCase {
    const char* name;
    std::string forExtension;  // websearch.ask.py
    std::string value;         // websearch.ask
    bool asks;
  };
  const AskCase cases[] = {
      {"on", "", "1", true},
      {"0: off", "", "0", false},
      {"not a number: off", "", "yes", false},
      {"the extension's 0 counts first", "0", "1", false},
      {"the extension's value unset: the general one", "", "1", true},
  };
  for (const auto& c : cases) {
    const auto lookup = [&c](const std::string& key) {
      return key == "websearch.ask.py" ? c.forExtension : key == "websearch.ask" ? c.value : "";
    };
    EXPECT_EQ(companion::asksFirst("py", lookup), c.asks) << c.name;
  }
}

TEST(History, SettingsRead) {
  using SizeRead = std::pair<std::string, std::size_t>;
  for (const auto& [value, size] :
       {SizeRead{"", 20}, SizeRead{"5", 5}, SizeRead{"0", 0}, SizeRead{"x", 20}, SizeRead{"-1", 20},
        SizeRead{"99999999999999999999999", 8192}}) {
    EXPECT_EQ(companion::historySize(value), size) << value;
  }
  struct KeepCase {
    const char* name;
    std::string saveFind;
    Searches session;
    bool keeps;
  };
  const KeepCase keeps[] = {
      {"save.find with save.recent", "1", {"", "1", ""}, true},
      {"save.find with save.position", "1", {"0", "", "1"}, true},
      {"save.find alone: SciTE writes no session", "1", {"", "", ""}, false},
      {"no save.find", "0", {"1", "1", "1"}, false},
      {"unset", "", {"", "", ""}, false},
      {"a word, no number: off, as SciTE reads it", "yes", {"1", "1", "1"}, false},
  };
  for (const auto& c : keeps) {
    EXPECT_EQ(companion::keepsFindStrings(c.saveFind, c.session), c.keeps) << c.name;
  }
  EXPECT_EQ(companion::historyFilePath("C:\\Users\\me", companion::EditorKind::windows),
            "C:\\Users\\me\\websearch.history");
  EXPECT_EQ(companion::historyFilePath("C:/Users/me/", companion::EditorKind::windows),
            "C:/Users/me/websearch.history");
  EXPECT_EQ(companion::historyFilePath("/home/me/", companion::EditorKind::gtk),
            "/home/me/.websearch.history");
  // The strip's field never ends inside a character.
  const std::string cut(companion::kMaxSearchBytes - 1, 'x');
  EXPECT_EQ(companion::withinSearchBytes(cut + "\xC3\xBC"), cut);
}

}  // namespace
