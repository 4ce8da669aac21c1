// websearch.ini beside the program: its url= and url.<ext>= lines.
#pragma once

#include <cstddef>
#include <string_view>

#include "companion/setting_types.h"

namespace companion {

// websearch.ini is read up to this size; anything beyond it is ignored.
inline constexpr std::size_t kMaxIniBytes = std::size_t{64} * 1024;

// The first `url.<fileExt>=` line (the extension compared without regard to case; none for an
// empty extension), else the first `url=` line, else the built-in default.
[[nodiscard]] TemplateSetting templateFor(const IniFile& ini, std::string_view fileExt);

}  // namespace companion
