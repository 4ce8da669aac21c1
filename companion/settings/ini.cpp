// websearch.ini's reader: key=value lines, comments and sections skipped, the first match wins.
#include "companion/settings/ini.h"

#include <optional>
#include <string>

#include "platform/ascii.h"

namespace companion {

namespace {

using platform::equalsIgnoringCase;
using platform::startsWithIgnoringCase;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kExtensionKeyPrefix = "url.";

[[nodiscard]] std::string_view trim(std::string_view text) {
  const auto first = text.find_first_not_of(platform::kAsciiWhiteSpace);
  if (first == std::string_view::npos) {
    return {};
  }
  const auto last = text.find_last_not_of(platform::kAsciiWhiteSpace);
  return text.substr(first, last - first + 1);
}

[[nodiscard]] std::string_view withoutQuotes(std::string_view value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

struct IniEntry {
  std::string_view key;    // trimmed, as written
  std::string_view value;  // trimmed, quotes around it removed
  std::size_t line = 0;    // 1-based
};

// Calls `visit` with each key=value line of an ini text, in order, until it returns true.
template <typename Visit>
void visitIniEntries(std::string_view iniText, Visit visit) {
  if (iniText.starts_with(kByteOrderMark)) {
    iniText.remove_prefix(kByteOrderMark.size());
  }
  for (std::size_t number = 1; !iniText.empty(); ++number) {
    const auto end = iniText.find('\n');
    const std::string_view line = trim(iniText.substr(0, end));
    iniText = end == std::string_view::npos ? std::string_view() : iniText.substr(end + 1);
    if (line.empty() || line.front() == ';' || line.front() == '#' || line.front() == '[') {
      continue;
    }
    const auto equals = line.find('=');
    if (equals != std::string_view::npos &&
        visit(IniEntry{trim(line.substr(0, equals)), withoutQuotes(trim(line.substr(equals + 1))),
                       number})) {
      return;
    }
  }
}

}  // namespace

TemplateSetting templateFor(const IniFile& ini, std::string_view fileExt) {
  std::optional<IniEntry> forExtension;
  std::optional<IniEntry> general;
  visitIniEntries(std::string_view(ini.text).substr(0, kMaxIniBytes), [&](const IniEntry& entry) {
    if (!fileExt.empty() && startsWithIgnoringCase(entry.key, kExtensionKeyPrefix) &&
        equalsIgnoringCase(entry.key.substr(kExtensionKeyPrefix.size()), fileExt)) {
      forExtension = entry;
    } else if (!general && equalsIgnoringCase(entry.key, kIniUrlKey)) {
      general = entry;
    }
    return forExtension.has_value();
  });
  const std::optional<IniEntry>& chosen = forExtension ? forExtension : general;
  if (!chosen) {
    return {};
  }
  return {.key = std::string(chosen->key),
          .value = std::string(chosen->value),
          .source = SettingSource::Ini,
          .iniPath = ini.path,
          .line = chosen->line};
}

}  // namespace companion
