// What makes a template usable, and whether a browser setting names a program.
#include "companion/settings/setting_types.h"

#include <algorithm>

#include "companion/query/uri.h"
#include "platform/ascii.h"

namespace companion {

bool BrowserSetting::namesProgram() const {
  return !std::all_of(value.begin(), value.end(), platform::isAsciiWhiteSpace);
}

bool isValidTemplate(std::string_view urlTemplate, const BrowserSetting& browser) {
  const bool schemeFits =
      browser.namesProgram() ? hasUriScheme(urlTemplate) : hasWebScheme(urlTemplate);
  return schemeFits && urlTemplate.find(kQueryPlaceholder) != std::string_view::npos;
}

}  // namespace companion
