// The launcher's POSIX system functions on the real system: '/' paths, the file test, running a
// program, the program's own path and the local time.
#include <gtest/gtest.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "launcher/files.h"
#include "launcher/functions.h"
#include "launcher/paths.h"
#include "launcher/posix/process.h"
#include "launcher/times.h"
#include "platform/errors.h"
#include "tests/support/environment.h"
#include "tests/support/files.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using test_support::readFile;
using test_support::ScopedEnv;
using test_support::TempDir;

TEST(PosixJoinPath, NormalisesAndNeverLeavesTheRoot) {
  struct Case {
    std::string_view head;
    std::string_view tail;
    std::string_view expected;
  };
  const Case cases[] = {
      {"/usr/lib", "websearch", "/usr/lib/websearch"},
      {"/usr//lib///", "websearch", "/usr/lib/websearch"},
      {"a", "/b", "a/b"},
      {"a", "b//c", "a/b/c"},
      {"", "websearch", "websearch"},
      {"a", "", "a"},
      {"", "", ""},
      // the root
      {"/", "x", "/x"},
      {"///", "x", "/x"},
      {"/", "", "/"},
      {"", "/", "/"},
      {"//", "//", "/"},
      {"/", "..", "/"},
      {"/a", "../../x", "/x"},
      {"/..", "..", "/"},
      // dots
      {"/a/./b", ".", "/a/b"},
      {"/a/b/..", "c", "/a/c"},
      {"a", "..", "."},
      {"a", "../..", ".."},
      {"..", "..", "../.."},
      {"../a", "..", ".."},
      {".", ".", "."},
      {"./", "", "."},
      {"...", "x", ".../x"},
      {"a.", ".b", "a./.b"},
      // a trailing '/' of the part that ends the path
      {"a", "b/", "a/b/"},
      {"a", "b//", "a/b/"},
      {"a//", "", "a/"},
      {"a/..", "/", "."},
      {"/a", "../", "/"},
      // bytes pass unchanged
      {"/T\xC3\xB6\xC3\xB6ls", "\xFF\xFE", "/T\xC3\xB6\xC3\xB6ls/\xFF\xFE"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(launcher::joinPath(c.head, c.tail), c.expected)
        << '"' << c.head << "\" + \"" << c.tail << '"';
  }
}

TEST(PosixFolderOf, CutsAtTheLastSlashAndKeepsTheRoot) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"/usr/lib/launcher", "/usr/lib"},
      {"/launcher", "/"},
      {"launcher", ""},
  };
  for (const auto& [path, expected] : cases) {
    EXPECT_EQ(launcher::folderOf(path), expected) << path;
  }
}

TEST(PosixExistsFile, TrueOnlyForSomethingThatIsNotAFolder) {
  const TempDir dir("posix-exists");
  dir.write("file", "x");
  dir.write("T\xC3\xB6\xC3\xB6ls \xE2\x82\xAC.txt", "x");
  fs::create_directory(dir.path() / "folder");
  fs::create_symlink(dir.path() / "file", dir.path() / "link-to-file");
  fs::create_symlink(dir.path() / "folder", dir.path() / "link-to-folder");
  fs::create_symlink(dir.path() / "gone", dir.path() / "dangling");
  const std::string base = dir.path().string() + '/';
  const std::pair<std::string, bool> cases[] = {
      {base + "file", true},
      {base + "T\xC3\xB6\xC3\xB6ls \xE2\x82\xAC.txt", true},
      {base + "link-to-file", true},
      {base + "folder", false},
      {base + "link-to-folder", false},
      {base + "missing", false},
      {base + "dangling", false},
      {base + "file/", false},
      {base + std::string("file\0.txt", 9), false},  // cut at the NUL it would name "file"
      {"", false},
  };
  for (const auto& [path, expected] : cases) {
    EXPECT_EQ(launcher::existsFile(path), expected) << path;
  }
}

TEST(PosixRunProgram, ReturnsTheExitStatusOrAShellStyleSignalCode) {
  // True only in the caller's process group, writing where the caller writes: SciTE's tool.
  const std::string sharesTheCallersGroupAndOutput =
      R"(read -r _ _ _ _ group _ </proc/$$/stat; read -r _ _ _ _ callers _ </proc/$PPID/stat; )"
      R"([ "$group" = "$callers" ] && [ /proc/$$/fd/1 -ef /proc/$PPID/fd/1 ])";
  // SIGPIPE back at its default, though the caller ignores it as the programs here do: bit 13
  // of the child's own SigIgn mask is clear.
  const std::string sigPipeAtDefault =
      R"(m=$(sed -n 's/^SigIgn:[[:space:]]*//p' /proc/$$/status); [ $((0x$m & 0x1000)) -eq 0 ])";
  static_cast<void>(std::signal(SIGPIPE, SIG_IGN));
  const std::pair<std::string, std::int64_t> cases[] = {
      {"exit 0", 0},         {sharesTheCallersGroupAndOutput, 0}, {"exit 7", 7},
      {"exit 255", 255},     {"kill -TERM $$", 128 + 15},         {"kill -KILL $$", 128 + 9},
      {sigPipeAtDefault, 0},
  };
  for (const auto& [script, expected] : cases) {
    EXPECT_EQ(launcher::runProgram("/bin/sh", {"-c", script}), expected) << script;
  }
}

TEST(PosixRunProgram, EachArgumentArrivesAsOneElementByteForByte) {
  const TempDir dir("posix-run-args");
  const std::string out = (dir.path() / "out").string();
  const std::string arguments[] = {
      "two words",
      R"(it's "quoted" \ and \\)",
      "a; rm -rf x; $(id) `id` $HOME *",
      "line one\nline two\n",
      "\t leading and trailing blanks ",
      "",
      "-n",
      "\xC3\xB6 \xE2\x82\xAC \xFF",
  };
  for (const std::string& argument : arguments) {
    std::filesystem::remove(out);
    const std::int64_t code = launcher::runProgram(
        "/bin/sh",
        {"-c", R"(printf '%s' "$#" > "$1.count"; printf '%s' "$2" > "$1")", "sh", out, argument});
    EXPECT_EQ(code, 0) << argument;
    EXPECT_EQ(readFile(out + ".count"), "2") << argument;
    EXPECT_EQ(readFile(out), argument) << argument;
  }
}

TEST(PosixRunProgram, RaisesOSErrorWithErrnoWhenNothingStarts) {
  const TempDir dir("posix-run-fail");
  struct Case {
    std::string program;
    std::vector<std::string> arguments;
    int code;
  };
  const Case cases[] = {
      {(dir.path() / "missing").string(), {}, ENOENT},
      {"sh", {"-c", "exit 0"}, ENOENT},  // a bare name is not looked up on PATH
      {dir.path().string(), {}, EACCES},
      {"/bin/sh", {"-c", std::string("exit 0\0; exit 9", 15)}, EINVAL},
      {std::string("/bin/sh\0/missing", 16), {"-c", "exit 0"}, EINVAL},
  };
  for (const auto& c : cases) {
    try {
      static_cast<void>(launcher::runProgram(c.program, c.arguments));
      ADD_FAILURE() << c.program << " started";
    } catch (const platform::OSError& error) {
      EXPECT_EQ(error.errorCode(), c.code) << c.program << ": " << error.message();
    }
  }
}

TEST(PosixAppFilename, IsTheRunningProgramAndItsFolder) {
  const fs::path self = fs::canonical(LAUNCHER_POSIX_TEST_EXE);
  EXPECT_EQ(launcher::getAppFilename(), self.string());
  EXPECT_EQ(launcher::CurrentDir(), self.parent_path().string());
}

// A copy of the probe in folders whose path is longer than the first buffer tried.
TEST(PosixAppFilename, ComesBackWholeFromADeepFolderWithANonAsciiName) {
  const TempDir dir("posix-deep");
  const fs::path folder = dir.path() / std::string(200, 'a') / std::string(200, 'b') /
                          "T\xC3\xB6\xC3\xB6ls \xE2\x82\xAC";
  fs::create_directories(folder);
  const fs::path probe = folder / "probe";
  fs::copy_file(LAUNCHER_POSIX_PROBE_EXE, probe);
  const fs::path out = dir.path() / "out";
  ASSERT_EQ(launcher::runProgram(probe.string(), {out.string()}), 0);
  EXPECT_EQ(readFile(out), probe.string() + '\n' + folder.string());
}

// Seconds since 1970 of a local date-time, less its offset: the instant it stands for.
std::int64_t instantOf(const launcher::DateTime& t) {
  const std::chrono::year_month_day date{std::chrono::year{t.year},
                                         std::chrono::month{static_cast<unsigned>(t.month)},
                                         std::chrono::day{static_cast<unsigned>(t.day)}};
  return std::chrono::sys_days{date}.time_since_epoch().count() * 86'400 +
         std::int64_t{t.hour} * 3'600 + std::int64_t{t.minute} * 60 + t.second - t.utcOffset;
}

std::int64_t clockSeconds() {
  ::timespec clock{};
  ::clock_gettime(CLOCK_REALTIME, &clock);
  return clock.tv_sec;
}

TEST(PosixNow, FieldsAreInRangeAndAgreeWithTheZonesOffset) {
  const std::pair<const char*, std::int32_t> cases[] = {
      {"UTC", 0},
      {"<+0530>-5:30", 5 * 3'600 + 30 * 60},
      {"<-0330>3:30", -(3 * 3'600 + 30 * 60)},
  };
  for (const auto& [zone, offset] : cases) {
    const ScopedEnv tz("TZ", zone);
    const std::int64_t before = clockSeconds();
    const launcher::DateTime t = launcher::now();
    const std::int64_t after = clockSeconds();
    EXPECT_EQ(t.utcOffset, offset) << zone;
    EXPECT_FALSE(t.isDst) << zone;
    EXPECT_TRUE(t.month >= 1 && t.month <= 12) << zone;
    EXPECT_TRUE(t.day >= 1 && t.day <= 31) << zone;
    EXPECT_TRUE(t.hour >= 0 && t.hour <= 23) << zone;
    EXPECT_TRUE(t.minute >= 0 && t.minute <= 59) << zone;
    EXPECT_TRUE(t.second >= 0 && t.second <= 60) << zone;
    EXPECT_TRUE(t.nanosecond >= 0 && t.nanosecond < 1'000'000'000) << zone;
    EXPECT_GE(instantOf(t), before) << zone;
    EXPECT_LE(instantOf(t), after) << zone;
  }
}

}  // namespace
