// The order of the template's sources.
#include "companion/settings/settings.h"

#include <utility>

#include "companion/settings/engines.h"
#include "companion/settings/ini.h"
#include "companion/settings/links.h"
#include "companion/settings/properties.h"

namespace companion {

Settings chooseSettings(std::string_view fileExt, const PropertyLookup& lookup,
                        const IniReader& readIni) {
  if (!lookup) {
    return {.setting = templateFor(readIni(), fileExt)};
  }
  const PropertyLookup once = askingOnce(lookup);
  Settings settings;
  if (auto fromScite = templateFromScite(fileExt, once)) {
    settings = isEngineListKey(fromScite->key) ? engineList(*fromScite, once)
                                               : Settings{.setting = std::move(*fromScite)};
  } else {
    settings.setting = templateFor(readIni(), fileExt);
  }
  settings.browser = browserSetting("", once);
  return settings;
}

Settings settingsForSearch(std::string_view fileExt, const PropertyLookup& lookup,
                           const IniReader& readIni, const std::string& steered, bool offerAll) {
  if (!lookup) {
    return chooseSettings(fileExt, lookup, readIni);
  }
  if (steered.empty()) {
    // The links' notes come after the engines': the list is read first.
    const PropertyLookup once = askingOnce(lookup);
    Settings settings = chooseSettings(fileExt, once, readIni);
    LinkSettings links = linkSettings(fileExt, once, settings.browser);
    settings.links = std::move(links.links);
    settings.notes.insert(settings.notes.end(), links.notes.begin(), links.notes.end());
    return settings;
  }
  const PropertyLookup once = askingOnce(lookup);
  Settings settings = offerAll ? chooseSettings(fileExt, once, readIni)
                               : Settings{.browser = browserSetting("", once)};
  return steeredTo(std::move(settings), steered, once);
}

}  // namespace companion
