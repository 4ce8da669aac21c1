// Whether a run shows the strip first: websearch.ask, by extension.
#include "companion/settings/ask.h"

#include <charconv>

#include "companion/settings/properties.h"

namespace companion {

namespace {

constexpr std::string_view kAskKey = "websearch.ask";

}  // namespace

std::vector<std::string> stripKeys(std::string_view extension) {
  return keysForExtension(kAskKey, extension);
}

bool asksFirst(std::string_view extension, const PropertyLookup& lookup) {
  std::string value =
      extension.empty() ? std::string() : lookup(keyForExtension(kAskKey, extension));
  if (value.empty()) {
    value = lookup(std::string(kAskKey));
  }
  int number = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
  return error == std::errc() && number != 0;
}

}  // namespace companion
