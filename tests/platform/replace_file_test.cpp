// A file's text replaced whole through a temporary file beside it.
#include "platform/posix/replace_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "tests/support/files.h"
#include "tests/support/temp_dir.h"

namespace {

using Files = std::map<std::string, std::string>;

// The regular files under `folder` with their text: a temporary file left behind shows.
Files filesIn(const std::filesystem::path& folder) {
  Files files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) {
      files[entry.path().lexically_relative(folder).string()] = test_support::readFile(entry);
    }
  }
  return files;
}

TEST(ReplaceFile, ReplacesTheWholeTextOrNothing) {
  struct Row {
    const char* name;
    std::optional<std::string> before;  // the file's text; nothing: no such file
    std::string target;                 // relative to the folder
    std::string failure;                // how the reason starts; empty: replaced
    std::string after;                  // the folder's one file's text; empty: no file at all
    bool folderInTheWay = false;
  };
  const Row rows[] = {
      {"a new file", std::nullopt, "history", "", "a\nb\n"},
      {"a longer file replaced whole: no tail left", "old 1\nold 2\nold 3\n", "history", "",
       "a\nb\n"},
      {"in a folder that does not exist", std::nullopt, "missing/history",
       "cannot create a file beside", ""},
      {"a folder in the way: the temporary removed", std::nullopt, "history", "cannot write", "",
       true},
  };
  for (const Row& row : rows) {
    const test_support::TempDir folder("replace-file");
    if (row.before) {
      folder.write(row.target, *row.before);
    }
    if (row.folderInTheWay) {
      std::filesystem::create_directory(folder.path() / row.target);
    }
    const auto failure = platform::replaceFile((folder.path() / row.target).string(), "a\nb\n");
    const std::string reason = failure ? failure->substr(0, failure->find(" /")) : "";
    const Files after = row.after.empty() ? Files{} : Files{{row.target, row.after}};
    EXPECT_EQ(std::pair(reason, filesIn(folder.path())), std::pair(row.failure, after)) << row.name;
  }
}

}  // namespace
