// A file's text replaced whole through a temporary file beside it.
#include "platform/posix/replace_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "tests/support/files.h"
#include "tests/support/temp_dir.h"

namespace {

struct ReplaceRow {
  const char* name;
  std::optional<std::string> before;  // the file's text; nothing: no such file
  std::string target;                 // relative to the folder
  bool replaced;
  std::optional<std::string> after;  // the file's text afterwards
};

std::size_t entriesIn(const std::filesystem::path& folder) {
  std::size_t count = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    count += entry.is_regular_file() ? 1U : 0U;
  }
  return count;
}

TEST(ReplaceFile, ReplacesTheWholeTextOrNothing) {
  const ReplaceRow rows[] = {
      {"a new file", std::nullopt, "history", true, "a\nb\n"},
      {"a longer file replaced whole: no tail left", "old 1\nold 2\nold 3\n", "history", true,
       "a\nb\n"},
      {"in a folder that does not exist", std::nullopt, "missing/history", false, std::nullopt},
  };
  for (const ReplaceRow& row : rows) {
    SCOPED_TRACE(row.name);
    const test_support::TempDir folder("replace-file");
    if (row.before) {
      folder.write(row.target, *row.before);
    }
    const std::string path = (folder.path() / row.target).string();
    const auto failure = platform::replaceFile(path, "a\nb\n");
    EXPECT_EQ(!failure.has_value(), row.replaced) << failure.value_or("");
    if (row.after) {
      EXPECT_EQ(test_support::readFile(path), *row.after);
    } else {
      EXPECT_FALSE(std::filesystem::exists(path));
    }
    // No temporary file left beside it, whatever happened.
    EXPECT_EQ(entriesIn(folder.path()), row.after || row.before ? 1u : 0u);
  }
}

TEST(ReplaceFile, AFolderInTheWayIsRefusedAndTheTemporaryRemoved) {
  const test_support::TempDir folder("replace-file");
  std::filesystem::create_directory(folder.path() / "history");
  const auto failure = platform::replaceFile((folder.path() / "history").string(), "a\n");
  ASSERT_TRUE(failure.has_value());
  EXPECT_NE(failure->find("cannot write"), std::string::npos) << *failure;
  EXPECT_EQ(entriesIn(folder.path()), 0u);
}

}  // namespace
