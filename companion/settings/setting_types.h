// The records the settings are made of, shared by every source of them (SciTE's properties,
// websearch.ini, the engine list) and by the decision: the lowest floor of the companion's core.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/re.h"

namespace companion {

inline constexpr std::string_view kDefaultTemplate = "https://duckduckgo.com/?q={query}";
inline constexpr std::string_view kQueryPlaceholder = "{query}";
inline constexpr std::string_view kIniUrlKey = "url";

enum class SettingSource {
  BuiltIn,  // no setting anywhere: kDefaultTemplate
  Ini,      // a line of websearch.ini
  Scite,    // one of SciTE's properties
};

// A template and where it was written, for the message about a bad one.
struct TemplateSetting {
  std::string key{kIniUrlKey};  // as written in websearch.ini ("url", "URL.py"), or the SciTE
                                // property asked for ("websearch.url.py")
  std::string value{kDefaultTemplate};  // quotes around it removed, references expanded
  SettingSource source = SettingSource::BuiltIn;
  std::string iniPath;          // websearch.ini's full path, for a setting from it
  std::size_t line = 0;         // and its 1-based line there
  bool refersToItself = false;  // a SciTE property whose references run in a circle or nest
                                // too deep
  bool operator==(const TemplateSetting&) const = default;
};

// Where an address opens: the SciTE property that names a program for it and that property's
// raw value, a command line; a value of blanks only leaves it to the system's default browser.
struct BrowserSetting {
  std::string key;
  std::string value;
  [[nodiscard]] bool namesProgram() const;
  bool operator==(const BrowserSetting&) const = default;
};

// A usable template has the {query} placeholder and a scheme: http:// or https:// for the
// default browser, any scheme for a program the user named (which knows its own, such as
// dash-plugin:).
[[nodiscard]] bool isValidTemplate(std::string_view urlTemplate, const BrowserSetting& browser);

// A property's raw value as SciTE answers it; empty for an undefined one.
using PropertyLookup = std::function<std::string(const std::string& name)>;

// websearch.ini as the shell finds it: its full path and its text (empty when there is none).
struct IniFile {
  std::string path;
  std::string text;
};
using IniReader = std::function<IniFile()>;

// One engine of a list: its name, its template (SciTE's websearch.engine.<name>) and where its
// searches open.
struct Engine {
  std::string name;
  TemplateSetting setting;
  BrowserSetting browser;
  bool operator==(const Engine&) const = default;
};

// One name of a list as the user picks it: an engine, or a group (websearch.group.<name>) whose
// engines all open, in its order.
struct Choice {
  std::string name;
  std::vector<Engine> engines;  // one for an engine; a group's usable members
  bool operator==(const Choice&) const = default;
};

// One link of websearch.links: its pattern, compiled twice (to find it in a line, and to match a
// whole text), and the address its match opens, {0} to {9} standing for the match's groups.
struct Link {
  std::string name;
  std::string patternKey;  // websearch.link.<name>.pattern
  std::string pattern;     // as written: a $( in a pattern is no reference
  std::string urlKey;      // websearch.link.<name>.url
  std::string url;         // expanded as SciTE expands its properties
  platform::Regex anywhere;
  platform::Regex whole;
  // The same settings: the compiled patterns follow from them.
  bool operator==(const Link& other) const {
    return name == other.name && pattern == other.pattern && url == other.url;
  }
};

// What the user's settings give a run: a template, or the engines a websearch.engines key lists.
struct Settings {
  TemplateSetting setting;         // the template, unless an engine list decided
  std::string engineListKey;       // the websearch.engines key that decided; empty when none did
  std::vector<Choice> choices;     // its usable engines and groups, each once, in the order listed
  std::vector<std::string> notes;  // names and engines left out and why, said before anything
  BrowserSetting browser;          // where every address but an engine's own opens
  // The first choice was named for this search alone (websearch.next.engine): a plan searches
  // with it at once, and nothing when it names none (no choices then).
  bool steered = false;
  std::vector<Link> links;  // websearch.links's usable links, in its order; none when steered
  bool operator==(const Settings&) const = default;
};

}  // namespace companion
