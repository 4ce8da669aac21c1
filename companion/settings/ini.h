// websearch.ini beside the program: its url= and url.<ext>= lines.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "companion/settings/setting_types.h"
#include "platform/text.h"

namespace companion {

inline constexpr std::string_view kIniFileName = "websearch.ini";
// websearch.ini is read up to this size; anything beyond it is ignored.
inline constexpr std::size_t kMaxIniBytes = std::size_t{64} * 1024;

// websearch.ini in the program's own folder, read through `readStart` (a path and a size to the
// file's start, or nothing: platform::readFileStart); none when the folder is not known (empty).
// The folder ends in its separator and comes in the system's own characters: UTF-8, or UTF-16
// on Windows.
template <typename Path, typename ReadStart>
[[nodiscard]] IniFile iniFileIn(const Path& folder, const ReadStart& readStart) {
  if (folder.empty()) {
    return {};
  }
  Path file = folder;
  file.append(kIniFileName.begin(), kIniFileName.end());
  std::string path;
  if constexpr (std::is_same_v<Path, std::string>) {
    path = file;
  } else {
    path = platform::toUtf8(file);
  }
  return {.path = std::move(path), .text = readStart(file, kMaxIniBytes).value_or(std::string())};
}

// The first `url.<fileExt>=` line (the extension compared without regard to case; none for an
// empty extension), else the first `url=` line, else the built-in default.
[[nodiscard]] TemplateSetting templateFor(const IniFile& ini, std::string_view fileExt);

}  // namespace companion
