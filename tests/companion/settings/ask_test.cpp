// Whether the strip with the recent searches is asked for first.
#include "companion/settings/ask.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// websearch.ask.<ext> counts first where it is set; a value is on as SciTE reads a number.
TEST(Ask, TheStripAskedByWebsearchAsk) {
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

}  // namespace
