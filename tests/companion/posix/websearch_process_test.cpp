// The Linux websearch as SciTE's tool starts it, against the fake GTK SciTE's FIFOs in a folder of
// the test's own: a search reaches the recording xdg-open, a SciTE that quits mid-run ends the
// run by its exit code and never by a signal, and the trace is written only when asked for.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/environment.h"
#include "tests/support/files.h"
#include "tests/support/gtk_fake_scite.h"
#include "tests/support/temp_dir.h"
#include "tests/support/trace_steps.h"

extern char** environ;  // NOLINT(readability-redundant-declaration): unistd.h may not declare it

namespace {

namespace fs = std::filesystem;

// How the process ended, what it said on its standard error and what the browser got.
struct ProcessRun {
  std::string ended;  // "exit <code>" or "signal <number>"
  std::string said;
  std::string opened;
  std::string steps = {};  // the steps the trace marked, in order; none without a trace
  bool operator==(const ProcessRun&) const = default;
};

void PrintTo(const ProcessRun& run, std::ostream* out) {
  *out << run.ended << " | said [" << run.said << "] | opened [" << run.opened << "] | steps ["
       << run.steps << "]";
}

// websearch started with `arguments`, its output and error going to `output`, and waited for.
std::string endOf(const std::vector<std::string>& arguments, int output) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, output, STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, output, STDERR_FILENO);
  const std::string program = COMPANION_LINUX_EXE;
  std::vector<char*> argv{const_cast<char*>(program.c_str())};  // NOLINT
  for (const std::string& argument : arguments) {
    argv.push_back(const_cast<char*>(argument.c_str()));  // NOLINT
  }
  argv.push_back(nullptr);
  pid_t child = 0;
  const int started = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (started != 0) {
    return "not started";
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFSIGNALED(status) ? "signal " + std::to_string(WTERMSIG(status))
                             : "exit " + std::to_string(WEXITSTATUS(status));
}

struct ProcessCase {
  const char* name;
  test_support::Script scite;
  bool outputRead = true;  // false: whoever read the tool's output is gone, as SciTE that quit
  ProcessRun run;
  std::string traceTo = {};  // WEBSEARCH_TRACE, under the test's folder; empty: not set
  std::vector<std::string> arguments = {"fetch"};
};

// The fake SciTE answers every question with nothing, as a SciTE with none of the settings set.
TEST(LinuxWebsearch, RunsAsSciteStartsIt) {
  const std::string opened = "https://duckduckgo.com/?q=fetch\n";
  const ProcessCase cases[] = {
      {"a plain search reaches xdg-open",
       {.notifyPipe = true, .unset = true},
       true,
       {"exit 0", "", opened}},
      // The selection came on the command line: it is searched, and what SciTE can no longer
      // show goes to the tool's output.
      {"SciTE quits after the first request: still searched, said on the tool's output",
       {.notifyPipe = true, .unset = true, .closesAfter = 1},
       true,
       {"exit 0", "+> Search: https://duckduckgo.com/?q=fetch\n", opened}},
      {"and nobody reads the tool's output any more: searched, no signal",
       {.notifyPipe = true, .unset = true, .closesAfter = 1},
       false,
       {"exit 0", "", opened}},
      {"the trace written where WEBSEARCH_TRACE says",
       {.notifyPipe = true, .unset = true},
       true,
       {"exit 0", "", opened,
        "started, SciTE found, batch of 7, batch answered, document asked, ask, answered, "
        "settings asked, text converted, decided, send, sent, said, xdg-open started, handed "
        "over, batch of 7, batch answered, batch of 1, batch answered, remembered"},
       "trace"},
      {"a trace file that cannot be made: no trace, the search all the same",
       {.notifyPipe = true, .unset = true},
       true,
       {"exit 0", "", opened},
       "missing/trace"},
      {"no selection handed over: nothing to search, said in SciTE",
       {.notifyPipe = true, .unset = true},
       true,
       {"exit 2", "", ""},
       {},
       {}},
  };
  for (const auto& c : cases) {
    const test_support::TempDir temp("websearch-linux");
    const fs::path bin = temp.path() / "bin";
    fs::create_directory(bin);
    fs::copy_file(COMPANION_RECORDING_XDG_OPEN, bin / "xdg-open");
    const test_support::ScopedEnv path("PATH", bin.string() + ":/usr/bin:/bin");
    const test_support::ScopedEnv tmp("TMPDIR", temp.path().string());
    const fs::path trace = temp.path() / c.traceTo;
    const test_support::ScopedEnv traceTo("WEBSEARCH_TRACE",
                                          c.traceTo.empty() ? "" : trace.string());
    const test_support::FakeScite scite(temp.path(), c.scite, ::getpid());
    std::array<int, 2> pipe{};
    ASSERT_EQ(::pipe(pipe.data()), 0);
    if (!c.outputRead) {
      ::close(pipe[0]);
    }
    ProcessRun run{.ended = endOf(c.arguments, pipe[1])};
    ::close(pipe[1]);
    if (c.outputRead) {
      std::array<char, 4096> chunk{};
      for (ssize_t got = 0; (got = ::read(pipe[0], chunk.data(), chunk.size())) > 0;) {
        run.said.append(chunk.data(), static_cast<std::size_t>(got));
      }
      ::close(pipe[0]);
    }
    if (fs::exists(bin / "opened")) {
      run.opened = test_support::readFile(bin / "opened");
    }
    if (!c.traceTo.empty() && fs::exists(trace)) {
      run.steps = test_support::stepsIn(test_support::readFile(trace));
    }
    EXPECT_EQ(run, c.run) << c.name;
  }
}

}  // namespace
