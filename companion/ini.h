// websearch.ini beside the program: its url= and url.<ext>= lines.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "companion/setting_types.h"

namespace companion {

inline constexpr std::string_view kIniFileName = "websearch.ini";
// websearch.ini is read up to this size; anything beyond it is ignored.
inline constexpr std::size_t kMaxIniBytes = std::size_t{64} * 1024;

// What the system gives of a file: up to the given number of bytes from its start, nothing when
// it cannot be opened (platform::readFileStart).
using FileStartReader =
    std::function<std::optional<std::string>(const std::filesystem::path&, std::size_t)>;

// websearch.ini in the program's own folder (which ends in its separator), read through
// `readStart`; none when the folder is not known (empty).
[[nodiscard]] IniFile iniFileIn(const std::filesystem::path& folder,
                                const FileStartReader& readStart);

// The first `url.<fileExt>=` line (the extension compared without regard to case; none for an
// empty extension), else the first `url=` line, else the built-in default.
[[nodiscard]] TemplateSetting templateFor(const IniFile& ini, std::string_view fileExt);

}  // namespace companion
