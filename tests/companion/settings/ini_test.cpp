// websearch.ini: the first url setting for the file's extension.
#include "companion/settings/ini.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

namespace {

struct IniCase {
  const char* name;
  std::string_view text;
  std::optional<std::string> urlTemplate;
};

TEST(TemplateFor, FindsTheFirstUrlSetting) {
  const IniCase cases[] = {
      {"plain", "url=https://e.example/?q={query}", "https://e.example/?q={query}"},
      {"CRLF, BOM and blanks",
       "\xEF\xBB\xBF ; search engine\r\n  URL = https://e.example/{query} \r\n",
       "https://e.example/{query}"},
      {"quoted value", "url=\"https://e.example/?q={query}\"\n", "https://e.example/?q={query}"},
      {"a pair of quotes alone", "url=\"\"\n", ""},
      {"an unclosed quote kept", "url=\"https://e.example/{query}", "\"https://e.example/{query}"},
      {"BOM right before the key", "\xEF\xBB\xBFurl=http://bom/{query}", "http://bom/{query}"},
      {"url.= is no setting without an extension", "url.=http://x/{query}\n", std::nullopt},
      {"value with equals signs", "url=https://e.example/?a=1&q={query}",
       "https://e.example/?a=1&q={query}"},
      {"sections and comments skipped",
       "[websearch]\n# url=http://no/{query}\nurl=http://yes/{query}", "http://yes/{query}"},
      {"first one wins", "url=http://first/{query}\nurl=http://second/{query}",
       "http://first/{query}"},
      {"empty value is a setting", "url=\n", ""},
      {"other keys only", "urls=http://x/{query}\nquery=1\n", std::nullopt},
      {"line without equals", "url http://x/{query}\n", std::nullopt},
      {"empty file", "", std::nullopt},
  };
  for (const auto& c : cases) {
    const auto setting = companion::templateFor({.text = std::string(c.text)}, "");
    EXPECT_EQ(setting.source == companion::SettingSource::BuiltIn ? std::nullopt
                                                                  : std::optional(setting.value),
              c.urlTemplate)
        << c.name;
  }
}

}  // namespace
