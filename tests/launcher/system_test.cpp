// The launcher's system functions on the real system: the companion stand-in as a child process,
// files and directories, the program's own path, and the clock. (The own path from a very deep
// directory is checked by deep_path_test.cmake: no program can start one from there.)
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "launcher/files.h"
#include "launcher/functions.h"
#include "launcher/times.h"
#include "launcher/win32/oserror.h"
#include "launcher/win32/process.h"
#include "launcher/win32/syscalls.h"
#include "platform/binding.h"
#include "platform/errors.h"
#include "platform/text.h"
#include "tests/support/files.h"
#include "tests/support/temp_dir.h"
#include "tests/support/text.h"
#include "tests/websearch_double/record.h"

namespace {

namespace fs = std::filesystem;
using test_support::pathFromUtf8;
using test_support::readFile;
using test_support::utf8;
using test_support::writeFile;

// Build outputs are named by their host path; under Wine the host's root is drive Z:.
fs::path buildOutput(std::string_view hostPath) {
  std::string path(hostPath);
  if (path.starts_with('/')) {
    path.insert(0, "Z:");
  }
  for (char& c : path) {
    c = c == '/' ? '\\' : c;
  }
  return pathFromUtf8(path);
}

std::string quote(const fs::path& path) {
  return '"' + utf8(path) + '"';
}

// The system's own text for an error code, asked directly.
std::string systemText(std::int32_t code) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(0x1300, nullptr, static_cast<DWORD>(code), 0,
                                      reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
  std::string text = length != 0 ? platform::toUtf8(WStringView(buffer, length)) : "";
  LocalFree(buffer);
  return text;
}

class System : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    platform::bindGroup(launcher::ws2_32::bindings());
    platform::bindGroup(launcher::kernel32::bindings());
    root_.emplace("launcher_system_tests");
  }
  static void TearDownTestSuite() { root_.reset(); }

  // A fresh directory of its own for each use.
  static fs::path scratch(std::string_view utf8Name) {
    fs::path dir = root_->path() / pathFromUtf8(utf8Name);
    fs::create_directories(dir);
    return dir;
  }

  // The stand-in as "websearch.exe" in `dir`, told to exit with `exitCode`.
  static fs::path installDouble(const fs::path& dir, std::string_view exitCode = "0") {
    const fs::path exe = dir / "websearch.exe";
    fs::copy_file(buildOutput(WEBSEARCH_DOUBLE_EXE), exe, fs::copy_options::overwrite_existing);
    writeFile(fs::path(exe) += ".exit", exitCode);
    fs::remove(fs::path(exe) += ".record");
    return exe;
  }

  static websearch_double::Record recordOf(const fs::path& exe) {
    const auto record = websearch_double::parseRecord(readFile(fs::path(exe) += ".record"));
    EXPECT_TRUE(record.has_value()) << "no record beside " << utf8(exe);
    return record.value_or(websearch_double::Record{});
  }

  static inline std::optional<test_support::TempDir> root_;
};

TEST_F(System, ExecCmdReturnsTheChildsExitCodeAsSigned) {
  const std::pair<std::string_view, std::int64_t> cases[] = {
      {"0", 0}, {"5", 5}, {"0xFFFFFFFF", -1}, {"0xC0000005", -1073741819}, {"255", 255},
  };
  const fs::path dir = scratch("exit codes");
  for (const auto& [told, expected] : cases) {
    const fs::path exe = installDouble(dir, told);
    EXPECT_EQ(launcher::execCmd(quote(exe)), expected) << told;
    EXPECT_EQ(recordOf(exe).arguments.size(), 1u);
  }
}

TEST_F(System, CommandLineReachesTheChildIntact) {
  // The launcher's own shape: the quoted companion path, a blank, the selection as it is.
  struct Case {
    std::string_view directory;
    std::string_view selection;
    std::vector<std::string> arguments;  // after argv[0]
  };
  const Case cases[] = {
      {"plain", "foo bar", {"foo", "bar"}},
      {"with blanks", R"(say "two words" a\"b)", {"say", "two words", "a\"b"}},
      {"caf\xC3\xA9 \xE4\xB8\xAD\xE6\x96\x87",
       "caf\xC3\xA9 \xE4\xB8\xAD\xE6\x96\x87 \xF0\x9F\x98\x80",
       {"caf\xC3\xA9", "\xE4\xB8\xAD\xE6\x96\x87", "\xF0\x9F\x98\x80"}},
      {"empty selection", "", {}},
      {"bad bytes",
       "a\xFF"
       "b \xC3",
       {"a\xEF\xBF\xBD"
        "b",
        "\xEF\xBF\xBD"}},
      {"line breaks", "one\r\ntwo", {"one\r\ntwo"}},
  };
  for (const auto& c : cases) {
    const fs::path exe = installDouble(scratch(c.directory));
    const std::string command = quote(exe) + " " + std::string(c.selection);
    ASSERT_EQ(launcher::execCmd(command), 0) << c.directory;
    const auto record = recordOf(exe);
    EXPECT_EQ(record.commandLine, platform::toUtf8(platform::toUtf16(command))) << c.directory;
    ASSERT_FALSE(record.arguments.empty());
    EXPECT_EQ(record.arguments.front(), utf8(exe));
    EXPECT_EQ(std::vector(record.arguments.begin() + 1, record.arguments.end()), c.arguments)
        << c.directory;
  }
}

TEST_F(System, ChildSharesTheCurrentDirectory) {
  const fs::path exe = installDouble(scratch("current directory"));
  ASSERT_EQ(launcher::execCmd(quote(exe)), 0);
  EXPECT_EQ(fs::path(recordOf(exe).currentDirectory), fs::current_path());
}

TEST_F(System, ChildThatCannotStartRaisesTheSystemsMessage) {
  const fs::path dir = scratch("cannot start");
  const fs::path notAProgram = dir / "websearch.exe";
  writeFile(notAProgram, "this is no program\r\n");
  struct Case {
    std::string command;
    std::int32_t code;  // 0: whatever the system chooses
  };
  const Case cases[] = {
      {quote(dir / "missing.exe"), 2},
      {quote(dir / "no such dir" / "x.exe"), 0},
      {quote(notAProgram), 0},
  };
  for (const auto& c : cases) {
    try {
      static_cast<void>(launcher::execCmd(c.command));
      ADD_FAILURE() << c.command << " started";
    } catch (const platform::OSError& error) {
      if (c.code != 0) {
        EXPECT_EQ(error.errorCode(), c.code) << c.command;
      }
      EXPECT_NE(error.errorCode(), 0) << c.command;
      EXPECT_EQ(error.message(), systemText(error.errorCode())) << c.command;
      EXPECT_NE(error.message(), "unknown OS error");
      ASSERT_EQ(error.trace().size(), 1u);
      EXPECT_EQ(error.trace()[0].operation, "raiseOSError");
    }
  }
}

TEST_F(System, ExistsFileIsTrueOnlyForFiles) {
  const fs::path dir = scratch("exists \xC3\xBC");
  writeFile(dir / "file.txt", "x");
  writeFile(dir / pathFromUtf8("\xC3\xA9t\xC3\xA9.txt"), "x");
  fs::create_directories(dir / "websearch.exe");
  const std::pair<std::string, bool> cases[] = {
      {utf8(dir / "file.txt"), true},
      {utf8(dir) + "/file.txt", true},
      {utf8(dir) + "\\\xC3\xA9t\xC3\xA9.txt", true},
      {utf8(dir / "websearch.exe"), false},
      {utf8(dir), false},
      {utf8(dir / "nothing.txt"), false},
      {utf8(dir / "no dir" / "file.txt"), false},
      {utf8(dir) + "\\\xFF\xFE.txt", false},
      {"", false},
  };
  for (const auto& [path, expected] : cases) {
    EXPECT_EQ(launcher::existsFile(path), expected) << path;
  }
}

TEST_F(System, OwnPathOfThisProgram) {
  const std::string self = launcher::getAppFilename();
  EXPECT_TRUE(self.ends_with("\\launcher_system_tests.exe")) << self;
  EXPECT_TRUE(launcher::existsFile(self));
  EXPECT_EQ(launcher::CurrentDir() + "\\launcher_system_tests.exe", self);
}

TEST_F(System, NowAgreesWithTheLocalClock) {
  const auto stamp = [](const SYSTEMTIME& t) {
    launcher::DateTime d;
    d.hour = t.wHour;
    d.minute = t.wMinute;
    d.second = t.wSecond;
    return launcher::format(d, "[HH:mm:ss]");
  };
  SYSTEMTIME before{};
  SYSTEMTIME after{};
  GetLocalTime(&before);
  const launcher::DateTime current = launcher::now();
  GetLocalTime(&after);
  const std::string ours = launcher::format(current, "[HH:mm:ss]");
  EXPECT_TRUE(ours == stamp(before) || ours == stamp(after))
      << ours << " between " << stamp(before) << " and " << stamp(after);
  EXPECT_EQ(current.year, before.wYear);
  EXPECT_EQ(current.day, before.wDay);
}

}  // namespace
