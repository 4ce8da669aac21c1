// The start of a file read a page at a time, up to a limit.
#include "platform/file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/owner.h"

namespace {

struct ReadRow {
  const char* name;
  std::size_t fileBytes;
  std::size_t most;
  std::size_t expectedBytes;
};

TEST(ReadUpTo, ReadsTheFileUpToTheLimitAcrossPages) {
  const ReadRow rows[] = {
      {"empty", 0, 10, 0},
      {"shorter than a page", 100, 5000, 100},
      {"just inside the limit", 5000, 5000, 5000},
      {"just outside the limit", 5001, 5000, 5000},
      {"several pages", 3 * 4096 + 7, 1 << 16, 3 * 4096 + 7},
  };
  for (const ReadRow& row : rows) {
    SCOPED_TRACE(row.name);
    std::string bytes(row.fileBytes, '\0');
    for (std::size_t at = 0; at < bytes.size(); ++at) {
      bytes[at] = static_cast<char>('a' + at % 26);
    }
    const platform::Unique<std::FILE*, std::fclose> file(std::tmpfile());
    ASSERT_TRUE(file);
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file.get()), bytes.size());
    std::rewind(file.get());
    EXPECT_EQ(platform::readUpTo(file.get(), row.most), bytes.substr(0, row.expectedBytes));
  }
}

}  // namespace
