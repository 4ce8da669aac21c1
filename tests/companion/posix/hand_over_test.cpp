// openInBrowser against a fake xdg-open first on PATH, startProgram against a recording program,
// and the program's own folder.
#include "companion/posix/hand_over.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/owner.h"
#include "platform/posix/executable.h"
#include "tests/support/environment.h"
#include "tests/support/files.h"
#include "tests/support/temp_dir.h"

namespace companion {

// Found by GoogleTest beside the type.
void PrintTo(const BrowserFailure& failure, std::ostream* out) {
  *out << "[" << failure.reason << "] (" << failure.code << ")";
}

}  // namespace companion

namespace {

namespace fs = std::filesystem;
using companion::BrowserFailure;
using companion::openInBrowser;
using test_support::readFile;
using test_support::ScopedEnv;
using test_support::TempDir;

// Records beside itself what it was given, where its standard files lead, its process and session
// ids and the signals it started with blocked, then does `then`. The shell changes its signal
// mask around its first child, so the mask is read with built-ins before anything else.
constexpr std::string_view kRecorder = R"(#!/bin/sh
while read -r key value; do case $key in SigBlk:) blocked=$value;; esac; done </proc/$$/status
read -r _ _ _ _ _ session _ </proc/$$/stat
dir=$(dirname -- "$0")
printf '%s' "$#" >"$dir/count"
printf '%s' "$1" >"$dir/url"
fds=$(readlink /proc/$$/fd/0 /proc/$$/fd/1 /proc/$$/fd/2)
printf '%s\n' "$fds" >"$dir/fds"
printf '%s' "$$" >"$dir/self"
printf '%s' "$session" >"$dir/session"
printf '%s' "$blocked" >"$dir/blocked"
)";

// A folder with a fake xdg-open, put first on PATH for the life of the object.
class FakeXdgOpen {
public:
  explicit FakeXdgOpen(std::string_view then)
      : path_("PATH", (dir_.path() / "bin").string() + ':' + std::getenv("PATH")) {
    fs::create_directory(dir_.path() / "bin");
    const fs::path script = dir_.path() / "bin" / "xdg-open";
    test_support::writeFile(script, std::string(kRecorder) + std::string(then) + '\n');
    fs::permissions(script, fs::perms::owner_all);
  }

  [[nodiscard]] std::string recorded(std::string_view name) const {
    return readFile(dir_.path() / "bin" / name);
  }

  // A process the fake named in `name`, which the test ends once it has looked.
  void stop(std::string_view name) const {
    const std::string pid = recorded(name);
    ASSERT_FALSE(pid.empty()) << name;
    ::kill(static_cast<::pid_t>(std::stol(pid)), SIGKILL);
  }

private:
  TempDir dir_{"posix-browser"};
  ScopedEnv path_;
};

constexpr std::string_view kNastyUrl =
    "https://example.org/?q=two words \"quoted\" 'single' ; $(id) `id` $HOME *\nnext line "
    "\xC3\xB6\xE2\x82\xAC";

// Stands for "no failure" where a test expects one.
BrowserFailure opened() {
  return {.reason = "opened", .code = 0};
}

TEST(OpenInBrowser, SaysWhatXdgOpensExitStatusMeans) {
  struct Case {
    std::string_view then;
    std::optional<BrowserFailure> failure;
  };
  const Case cases[] = {
      {"exit 0", std::nullopt},
      {"exit 3", BrowserFailure{"xdg-open ended with exit code 3", 3}},
      {"exit 4", BrowserFailure{"xdg-open ended with exit code 4", 4}},
      {"kill -TERM $$",
       BrowserFailure{"xdg-open ended by signal " + std::to_string(SIGTERM), 128 + SIGTERM}},
  };
  for (const auto& c : cases) {
    const FakeXdgOpen fake(c.then);
    EXPECT_EQ(openInBrowser(std::string(kNastyUrl)), c.failure) << c.then;
    EXPECT_EQ(fake.recorded("count"), "1") << c.then;
    EXPECT_EQ(fake.recorded("url"), kNastyUrl) << c.then;
  }
}

TEST(OpenInBrowser, MissingXdgOpenIsAFailureWithErrno) {
  const TempDir empty("posix-browser-empty");
  const ScopedEnv path("PATH", empty.path().string());
  const BrowserFailure failure = openInBrowser("https://example.org/").value_or(opened());
  EXPECT_EQ(failure.code, ENOENT);
  EXPECT_EQ(failure.reason, std::strerror(ENOENT));
}

TEST(OpenInBrowser, XdgOpenStillRunningAfterTheWaitCountsAsOpened) {
  const FakeXdgOpen fake("echo $$ >>\"$dir/pids\"; exec sleep 30");
  // Two started one right after the other, as a group's are, are waited for side by side.
  const auto started = std::chrono::steady_clock::now();
  const companion::BrowserVerdict first = companion::handOver("https://example.org/1");
  const companion::BrowserVerdict second = companion::handOver("https://example.org/2");
  EXPECT_EQ(first(), std::nullopt);
  EXPECT_EQ(second(), std::nullopt);
  EXPECT_LT(std::chrono::steady_clock::now() - started, companion::kBrowserWait * 3 / 2);
  // The calls came back while the fakes still ran: they did not wait for the "browser".
  std::istringstream pids(fake.recorded("pids"));
  int count = 0;
  for (::pid_t pid = 0; pids >> pid; ++count) {
    EXPECT_EQ(::waitpid(pid, nullptr, WNOHANG), 0);
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
  }
  EXPECT_EQ(count, 2);
}

// SciTE's ">Exit code:" waits for every holder of the tool's output: the fake leaves a "browser"
// running, which must hold neither the standard files nor any other file of the caller. It leads
// a session of its own, and none of the caller's blocked signals stays blocked in it.
TEST(OpenInBrowser, TheBrowserHoldsNoneOfTheCallersFiles) {
  int ends[2] = {-1, -1};
  ASSERT_EQ(::pipe(ends), 0);  // inheritable, as the tool's output is
  const FakeXdgOpen fake("sleep 30 & echo $! >\"$dir/browser\"; exit 0");
  {
    ::sigset_t blocked{};
    ::sigemptyset(&blocked);
    ::sigaddset(&blocked, SIGUSR1);
    ASSERT_EQ(::pthread_sigmask(SIG_BLOCK, &blocked, nullptr), 0);
    const platform::ScopeExit unblock(
        [&blocked] { ::pthread_sigmask(SIG_UNBLOCK, &blocked, nullptr); });
    EXPECT_EQ(openInBrowser("https://example.org/"), std::nullopt);
  }
  ::close(ends[1]);
  ::pollfd reader{.fd = ends[0], .events = POLLIN, .revents = 0};
  EXPECT_EQ(::poll(&reader, 1, 0), 1);
  EXPECT_TRUE((reader.revents & POLLHUP) != 0) << "someone still holds the pipe's writing end";
  ::close(ends[0]);
  const std::pair<std::string_view, std::string> recorded[] = {
      {"fds", "/dev/null\n/dev/null\n/dev/null\n"},
      {"session", fake.recorded("self")},
      {"blocked", "0000000000000000"},
  };
  for (const auto& [name, expected] : recorded) {
    EXPECT_EQ(fake.recorded(name), expected) << name;
  }
  fake.stop("browser");
}

// Writes its arguments beside itself, each ended by a NUL, then its session id; the record is
// moved into place whole, so a reader sees all of it or nothing.
constexpr std::string_view kArgumentRecorder = R"(#!/bin/sh
read -r _ _ _ _ _ session _ </proc/$$/stat
dir=$(dirname -- "$0")
for argument; do printf '%s\0' "$argument"; done >"$dir/args.part"
printf '%s' "$session" >"$dir/session"
printf '%s' "$$" >"$dir/self"
mv "$dir/args.part" "$dir/args"
)";

struct StartCase {
  const char* name;
  std::string_view program;  // in the recorder's folder, "with blanks"; on PATH when bare
  std::vector<std::string> arguments;
  std::optional<std::string> record;  // the arguments the program got; none: it did not start
};

TEST(StartProgram, EachArgumentArrivesWholeAndOnlyAStartFailureCounts) {
  const TempDir dir("posix-program");
  const fs::path folder = dir.path() / "with blanks";
  fs::create_directory(folder);
  test_support::writeFile(folder / "record", kArgumentRecorder);
  fs::permissions(folder / "record", fs::perms::owner_all);
  const ScopedEnv path("PATH", folder.string() + ':' + std::getenv("PATH"));
  const std::string address = "https://example.org/?q=a&b=%25!'(x)';c=d";
  const StartCase cases[] = {
      {"a path with a blank, the address one argument",
       "{folder}/record",
       {"-private-window", address},
       "-private-window" + std::string(1, '\0') + address + '\0'},
      {"a bare name found on PATH", "record", {address}, address + '\0'},
      {"an empty argument kept", "record", {"", address}, std::string(1, '\0') + address + '\0'},
      {"a missing program", "{folder}/missing", {address}, std::nullopt},
  };
  for (const auto& c : cases) {
    fs::remove(folder / "args");
    std::string program(c.program);
    if (program.starts_with("{folder}")) {
      program.replace(0, 8, folder.string());
    }
    const auto failure = companion::startProgram({.program = program, .arguments = c.arguments});
    if (!c.record) {
      EXPECT_EQ(failure, (BrowserFailure{.reason = std::strerror(ENOENT), .code = ENOENT}))
          << c.name;
      continue;
    }
    EXPECT_EQ(failure, std::nullopt) << c.name;
    EXPECT_EQ(test_support::awaitFile(folder / "args"), c.record) << c.name;
    // Detached as xdg-open is: a session of its own.
    EXPECT_EQ(readFile(folder / "session"), readFile(folder / "self")) << c.name;
  }
}

TEST(OwnFolder, IsTheTestProgramsFolderWithATrailingSlash) {
  EXPECT_EQ(platform::ownFolder(),
            fs::canonical(COMPANION_POSIX_TEST_EXE).parent_path().string() + '/');
}

}  // namespace
