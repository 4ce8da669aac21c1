// What makes a template usable.
#include "companion/setting_types.h"

#include "companion/uri.h"

namespace companion {

bool isValidTemplate(std::string_view urlTemplate) {
  return hasWebScheme(urlTemplate) && urlTemplate.find(kQueryPlaceholder) != std::string_view::npos;
}

}  // namespace companion
