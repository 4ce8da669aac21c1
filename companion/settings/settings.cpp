// The order of the template's sources.
#include "companion/settings/settings.h"

#include <utility>

#include "companion/settings/engines.h"
#include "companion/settings/ini.h"
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
  if (steered.empty() || !lookup) {
    return chooseSettings(fileExt, lookup, readIni);
  }
  const PropertyLookup once = askingOnce(lookup);
  Settings settings = offerAll ? chooseSettings(fileExt, once, readIni)
                               : Settings{.browser = browserSetting("", once)};
  return steeredTo(std::move(settings), steered, once);
}

}  // namespace companion
