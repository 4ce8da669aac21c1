// The program's own path from a fake system: growth past the classic limit, and its directory.
#include "launcher/functions.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "launcher/win32/syscalls.h"
#include "tests/support/slot_swap.h"
#include "tests/support/text.h"

namespace {

using launcher::CurrentDir;
using launcher::getAppFilename;
using test_support::SlotSwap;
using test_support::wide;

// Behaves as the system does: a path that does not fit is cut, NUL-terminated, and reported
// with the buffer's size as its length.
struct FakeModule {
  static inline WString path;
  static inline int calls = 0;
  static inline bool failing = false;
  static inline bool reportsFullLength = false;

  static DWORD WINAPI getModuleFileName(HMODULE module, LPWSTR buffer, DWORD size) {
    ++calls;
    EXPECT_EQ(module, nullptr);
    if (failing) {
      return 0;
    }
    if (path.size() < size) {
      std::copy(path.begin(), path.end(), buffer);
      buffer[path.size()] = 0;
      return static_cast<DWORD>(path.size());
    }
    std::copy_n(path.begin(), size - 1, buffer);
    buffer[size - 1] = 0;
    return reportsFullLength ? static_cast<DWORD>(path.size()) : size;
  }
};

class AppFilename : public ::testing::Test {
protected:
  void SetUp() override {
    FakeModule::calls = 0;
    FakeModule::failing = false;
    FakeModule::reportsFullLength = false;
  }

  SlotSwap<launcher::kernel32::GetModuleFileNameW> slot_{&FakeModule::getModuleFileName};
};

std::string pathOfLength(std::size_t length) {
  std::string path = "C:\\";
  while (path.size() < length) {
    path += static_cast<char>('a' + path.size() % 26);
  }
  path.back() = 'x';
  return path;
}

TEST_F(AppFilename, FullPathComesBackWhateverItsLength) {
  for (const std::size_t length :
       {1u, 20u, 258u, 259u, 260u, 261u, 300u, 519u, 520u, 4000u, 32767u}) {
    const std::string expected = pathOfLength(length);
    FakeModule::path = wide(std::u16string(expected.begin(), expected.end()));
    for (const bool full : {false, true}) {
      FakeModule::reportsFullLength = full;
      EXPECT_EQ(getAppFilename(), expected) << length;
    }
  }
}

TEST_F(AppFilename, FailureGivesAnEmptyPath) {
  FakeModule::failing = true;
  EXPECT_EQ(getAppFilename(), "");
  EXPECT_EQ(CurrentDir(), "");
}

TEST_F(AppFilename, SystemThatNeverFitsIsGivenUpOn) {
  FakeModule::path = WString(200'000, static_cast<WCHAR>('a'));
  EXPECT_EQ(getAppFilename(), "");
  EXPECT_LT(FakeModule::calls, 20);
}

TEST_F(AppFilename, PathIsConvertedToUtf8) {
  FakeModule::path = wide(u"C:\\T\u00F6\u00F6ls\\\U0001F600\\\xDC00.exe");
  EXPECT_EQ(getAppFilename(), "C:\\T\xC3\xB6\xC3\xB6ls\\\xF0\x9F\x98\x80\\\xEF\xBF\xBD.exe");
}

TEST_F(AppFilename, CurrentDirIsTheDirectoryWithoutSeparator) {
  const std::pair<std::u16string_view, std::string_view> cases[] = {
      {uR"(C:\Tools\launcher.exe)", R"(C:\Tools)"},
      {uR"(C:\launcher.exe)", "C:"},
  };
  for (const auto& [path, expected] : cases) {
    FakeModule::path = wide(path);
    EXPECT_EQ(CurrentDir(), expected);
  }
}

}  // namespace
