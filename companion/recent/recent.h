// The recent searches of a run: where SciTE and the disk hold them, read once, and the search
// just made put first in both.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "companion/recent/history.h"
#include "companion/run_system.h"
#include "companion/scite/scite.h"
#include "companion/settings/setting_types.h"

namespace companion {

class RecentSearches {
public:
  explicit RecentSearches(EditorKind editor) : editor_(editor) {}

  // Newest first: SciTE's list while it runs, else the file where find strings are kept across
  // sessions, else none. The file is read once.
  [[nodiscard]] const std::vector<std::string>& list(const Scite& scite, const RunSystem& system);

  // Puts `search` first in SciTE's list, and in the file where find strings are kept; a file
  // that cannot be written is said, and stops nothing.
  void remember(const Scite& scite, const std::string& search, const RunSystem& system);

private:
  // Asks SciTE once, in one batch, for its list, the size, and whether and where it keeps find
  // strings on disk.
  void askScite(const Scite& scite);

  EditorKind editor_;
  bool asked_ = false;
  std::size_t size_ = kDefaultHistorySize;
  std::optional<std::vector<std::string>> list_;  // nothing until read
  bool inScite_ = false;                          // SciTE's property is set
  bool answered_ = false;                         // SciTE answered every question
  std::string path_;                              // empty where nothing is kept on disk
};

}  // namespace companion
