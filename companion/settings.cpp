// The order of the template's sources.
#include "companion/settings.h"

#include "companion/engines.h"
#include "companion/ini.h"
#include "companion/properties.h"

namespace companion {

Settings chooseSettings(std::string_view fileExt, const PropertyLookup& lookup,
                        const IniReader& readIni) {
  if (lookup) {
    const PropertyLookup once = askingOnce(lookup);
    if (auto fromScite = templateFromScite(fileExt, once)) {
      if (isEngineListKey(fromScite->key)) {
        return engineList(*fromScite, once);
      }
      return {.setting = std::move(*fromScite)};
    }
  }
  return {.setting = templateFor(readIni(), fileExt)};
}

}  // namespace companion
