// The order of the template's sources.
#include "companion/settings.h"

#include "companion/ini.h"
#include "companion/properties.h"
#include "companion/uri.h"

namespace companion {

bool isValidTemplate(std::string_view urlTemplate) {
  return hasWebScheme(urlTemplate) && urlTemplate.find(kQueryPlaceholder) != std::string_view::npos;
}

TemplateSetting chooseTemplate(std::string_view fileExt, const PropertyLookup& lookup,
                               const IniReader& readIni) {
  if (lookup) {
    if (auto fromScite = templateFromScite(fileExt, lookup)) {
      return std::move(*fromScite);
    }
  }
  return templateFor(readIni(), fileExt);
}

}  // namespace companion
