// existsFile against a fake attribute query: what counts as a file, and what reaches the system.
#include "launcher/files.h"

#include <gtest/gtest.h>

#include "launcher/win32/syscalls.h"
#include "tests/support/slot_swap.h"
#include "tests/support/text.h"

namespace {

using launcher::existsFile;
using test_support::SlotSwap;
using test_support::wide;

struct FakeFiles {
  static inline DWORD attributes = 0;
  static inline WString asked;
  static inline int calls = 0;

  static DWORD WINAPI getFileAttributes(LPCWSTR path) {
    ++calls;
    asked = path;
    return attributes;
  }
};

class ExistsFile : public ::testing::Test {
protected:
  void SetUp() override { FakeFiles::calls = 0; }

  SlotSwap<launcher::kernel32::GetFileAttributesW> slot_{&FakeFiles::getFileAttributes};
};

TEST_F(ExistsFile, OnlyExistingNonDirectoriesCount) {
  const std::pair<DWORD, bool> cases[] = {
      {0x80, true},                               // normal
      {0x20, true},                               // archive
      {0x01 | 0x20, true},                        // read-only
      {0x10, false},                              // directory
      {0x10 | 0x01, false}, {0xFFFFFFFF, false},  // nothing there, or the query failed
  };
  for (const auto& [attributes, expected] : cases) {
    FakeFiles::attributes = attributes;
    EXPECT_EQ(existsFile(R"(C:\Tools\websearch.exe)"), expected) << attributes;
  }
}

TEST_F(ExistsFile, PathReachesTheSystemAsUtf16) {
  FakeFiles::attributes = 0x80;
  static_cast<void>(existsFile("C:\\T\xC3\xB6\xC3\xB6ls\\\xFF.exe"));
  EXPECT_EQ(FakeFiles::asked, wide(u"C:\\T\u00F6\u00F6ls\\\uFFFD.exe"));
}

TEST_F(ExistsFile, PathWithNulNamesNothing) {
  FakeFiles::attributes = 0x80;
  EXPECT_FALSE(existsFile(std::string_view("C:\\a.exe\0.txt", 14)));
  EXPECT_EQ(FakeFiles::calls, 0);
}

}  // namespace
