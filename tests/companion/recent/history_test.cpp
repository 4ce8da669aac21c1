// The recent searches over plain data: kept newest first within their bounds, read from SciTE's
// property and the file, and the settings that say where and whether they are kept.
#include "companion/recent/history.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using namespace std::string_literals;
using Searches = std::vector<std::string>;

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
