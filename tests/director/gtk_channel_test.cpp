// The GTK transport against a fake SciTE that reads requests and answers on FIFOs as the GTK
// SciTE does, scripted per row, alone and under the client's SendCommand and the companion's
// PipeScite; and findScite over a fake /proc.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <csignal>
#include <map>
#include <mutex>
#include <optional>
#include <ranges>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "companion/posix/director_scite.h"
#include "director/gtk/channel.h"
#include "director/gtk/client.h"
#include "director/gtk/discovery.h"
#include "director/gtk/reply.h"
#include "director/replies.h"
#include "platform/errors.h"
#include "platform/posix/linked_pcre.h"
#include "tests/scite_standin/escapes.h"
#include "tests/support/environment.h"
#include "tests/support/gtk_fake_scite.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using platform::Fd;
using namespace std::chrono_literals;
using test_support::FakeScite;
using test_support::Script;

constexpr pid_t kPid = 4242;
constexpr auto kLimit = 500ms;

struct Step {
  // "ask <command>", "send <command>", or "all <command>|?<command>|...": sent at once, those
  // with a '?' first answering
  std::string command;
  // "whole <received>", "cut <received>", "not taken", "sent", "too long"; for "all" each
  // reply's, joined by " | "
  std::string outcome;
};

// The reply in SciTE for Windows' form, as the launcher's reply state takes it.
std::string outcomeOf(const std::optional<director::gtk::Reply>& reply) {
  return !reply ? "not taken"
                : (reply->cut ? "cut " : "whole ") + director::gtk::addressedReply(reply->raw);
}

std::string allOutcome(director::gtk::Channel& channel, std::string_view commands) {
  std::vector<director::gtk::Request> requests;
  for (const auto part : std::views::split(commands, '|')) {
    const std::string_view command(part.begin(), part.end());
    const bool asks = command.starts_with('?');
    requests.push_back({.command = command.substr(asks ? 1 : 0), .expectReply = asks});
  }
  const auto replies = channel.sendAll(requests);
  if (!replies) {
    return "not taken";
  }
  std::string outcome;
  for (const auto& reply : *replies) {
    outcome += (outcome.empty() ? "" : " | ") + outcomeOf(reply);
  }
  return outcome;
}

std::string outcomeOf(director::gtk::Channel& channel, std::string_view step) {
  try {
    if (step.starts_with("send ")) {
      return channel.send(step.substr(5)) ? "sent" : "not taken";
    }
    if (step.starts_with("all ")) {
      return allOutcome(channel, step.substr(4));
    }
    return outcomeOf(channel.ask(step.substr(4)));
  } catch (const platform::RangeError&) {
    return "too long";
  }
}

// The outcome, marked "late" when the step overstayed the time limit.
std::string run(director::gtk::Channel& channel, std::string_view step) {
  const auto start = std::chrono::steady_clock::now();
  std::string outcome = outcomeOf(channel, step);
  return std::chrono::steady_clock::now() - start > kLimit + 250ms ? outcome + " late" : outcome;
}

[[nodiscard]] bool sigpipeIgnored() {
  struct sigaction action {};
  return ::sigaction(SIGPIPE, nullptr, &action) == 0 && action.sa_handler == SIG_IGN;
}

// The test program's start-up, as each program's that makes a channel.
class ProgramStartUp : public ::testing::Environment {
public:
  void SetUp() override { director::gtk::ignoreBrokenPipes(); }
};

[[maybe_unused]] ::testing::Environment* const kStartUp =
    ::testing::AddGlobalTestEnvironment(new ProgramStartUp);

TEST(GtkChannel, FaultsOfSciteAndOfTheRequests) {
  struct Row {
    std::string name;
    Script script;
    std::vector<Step> steps;
    std::vector<std::string> requests;
    fs::path channelTemp = {};  // the channel's temporary folder in the test's; empty: the test's
    std::string pipeMaxSize = {};  // the system's limit in a /proc of the test's; empty: the real
  };
  const std::string atLimit = "output:" + std::string(director::gtk::kMaxRequestBytes - 8, 'x');
  const std::string big(std::size_t{300} * 1024, 'v');  // beyond a pipe's 64 KiB
  // "macro:stringinfo:", this and the line break fill a pipe of 64 KiB exactly.
  const std::string pipeFull = big.substr(0, std::size_t{64} * 1024 - 18);
  const std::string askA = ":FIFO:askproperty:a";
  const Row rows[] = {
      {"no reply until registered",
       {},
       {{"ask askproperty:a", "whole :0:macro:stringinfo:a"}},
       {askA, ":FILE:register:", askA}},
      {"registers once only",
       {.registers = false},
       {{"ask askproperty:a", "whole "}, {"ask askproperty:b", "whole "}},
       {askA, ":FILE:register:", askA, ":FIFO:askproperty:b"}},
      {"no register beside a notify pipe",
       {.hadOne = true},
       {{"ask askproperty:a", "whole "}},
       {askA}},
      {"a file named like a notify pipe but for its number: registered all the same",
       {.hadOther = true},
       {{"ask askproperty:a", "whole :0:macro:stringinfo:a"}},
       {askA, ":FILE:register:", askA}},
      {"a reply without its line break",
       {.notifyPipe = true, .keeps = 18},
       {{"ask askproperty:a", "cut :0:macro:stringinfo:a"}},
       {askA}},
      {"a writer that closes early",
       {.notifyPipe = true, .value = "abcdef", .keeps = 19},
       {{"ask askproperty:a", "cut :0:macro:stringinfo:ab"}},
       {askA}},
      {"slower than the limit, its late answer not taken for the next",
       {.notifyPipe = true, .firstDelay = kLimit * 3 / 2},
       {{"ask askproperty:late", "cut "},
        {"ask askproperty:next", "whole :0:macro:stringinfo:next"}},
       {":FIFO:askproperty:late", ":FIFO:askproperty:next"}},
      {"a line break in a reply",
       {.notifyPipe = true, .value = "a\nb\\c\x01"},
       {{"ask askproperty:a", R"(whole :0:macro:stringinfo:a\nb\\c\001)"}},
       {askA}},
      {"a reply larger than a pipe",
       {.notifyPipe = true, .value = big},
       {{"ask askproperty:big", "whole :0:macro:stringinfo:" + big}},
       {":FIFO:askproperty:big"}},
      {"a reply larger than the system lets a pipe grow",
       {.notifyPipe = true, .value = big},
       {{"ask askproperty:big",
         "cut :0:macro:stringinfo:" + big.substr(0, std::size_t{64} * 1024 - 17)}},
       {":FIFO:askproperty:big"},
       {},
       "65536\n"},
      {"a reply of exactly a pipe's size",
       {.notifyPipe = true, .value = pipeFull},
       {{"ask askproperty:full", "whole :0:macro:stringinfo:" + pipeFull}},
       {":FIFO:askproperty:full"},
       {},
       "65536\n"},
      {"a request at the size limit", {}, {{"send " + atLimit, "sent"}}, {atLimit}},
      {"a request over the size limit", {}, {{"send " + atLimit + "x", "too long"}}, {}},
      {"bytes that are not UTF-8, controls",
       {},
       {{"send output:\xC3\xA9\xFF\xC0\xAF\xED\xA0\x80\x01\x7F\\t", "sent"}},
       {"output:\xC3\xA9\\377\\300\\257\\355\\240\\200\\001\\177\\t"}},
      {"a line break in a command",
       {},
       {{"send output:a\r\nquit:", "sent"}},
       {R"(output:a\015\012quit:)"}},
      {"a reply path of the caller's",
       {},
       {{"send :/x:askproperty:a", "sent"}},
       {R"(\072/x:askproperty:a)"}},
      {"a crashed SciTE's FIFO",
       {.listens = false},
       {{"send output:a", "not taken"}, {"ask askproperty:a", "not taken"}},
       {}},
      // The first line fills 15 of the pipe's 16 pages, the next fills all but one byte.
      {"a SciTE that never reads, given up at the deadline",
       {.reads = false},
       {{"send " + atLimit, "sent"},
        {"send " + atLimit, "not taken"},
        {"send output:" + std::string(4087, 'y'), "sent"},
        {"send output:a", "not taken"},
        {"ask askproperty:a", "not taken"}},
       {}},
      {"questions sent at once, each reply read whole and in its place",
       {.notifyPipe = true, .marksReads = true},
       {{"all output:x|?askproperty:a|?askproperty:b",
         "whole :0:macro:stringinfo:a | whole :0:macro:stringinfo:b"}},
       {"output:x", "+:FIFO:askproperty:a", "+:FIFO:askproperty:b"}},
      {"questions at once to a SciTE that does not answer yet: asked again one by one",
       {},
       {{"all ?askproperty:a|?askproperty:b",
         "whole :0:macro:stringinfo:a | whole :0:macro:stringinfo:b"}},
       {askA, ":FIFO:askproperty:b", askA, ":FILE:register:", askA, ":FIFO:askproperty:b"}},
      {"questions at once beside a notify pipe: an empty answer is the answer",
       {.hadOne = true},
       {{"all ?askproperty:a|?askproperty:b", "whole  | whole "}},
       {askA, ":FIFO:askproperty:b"}},
      {"questions at once longer than a request: one by one",
       {.notifyPipe = true},
       {{"all ?askproperty:a|" + atLimit, "whole :0:macro:stringinfo:a"}},
       {askA, atLimit}},
      {"questions at once to a crashed SciTE's FIFO",
       {.listens = false},
       {{"all ?askproperty:a|?askproperty:b", "not taken"}},
       {}},
      {"a ':' in the temporary folder's path: the private folder goes to /tmp",
       {.notifyPipe = true},
       {{"ask askproperty:a", "whole :0:macro:stringinfo:a"}},
       {":FIFO in /tmp:askproperty:a"},
       "a:b"},
  };
  // SciTE may go away between our open and our write; that must not end the program, whose
  // start-up ignored SIGPIPE before any channel was made.
  EXPECT_TRUE(sigpipeIgnored());
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const test_support::TempDir temp("gtk-channel");
    FakeScite fake(temp.path(), row.script, kPid);
    const fs::path channelTemp = temp.path() / row.channelTemp;
    fs::create_directories(channelTemp);
    director::gtk::Places places{.temp = channelTemp};
    if (!row.pipeMaxSize.empty()) {
      places.proc = temp.path() / "proc";
      fs::create_directories(places.proc / "sys/fs");
      temp.write(fs::path("proc/sys/fs/pipe-max-size"), row.pipeMaxSize);
    }
    director::gtk::Channel channel(fake.scite(), kLimit, places);
    for (const Step& step : row.steps) {
      EXPECT_EQ(run(channel, step.command), step.outcome) << step.command.substr(0, 40);
    }
    EXPECT_EQ(fake.requests(row.requests.size()), row.requests);
    // In the channel's own folder: only the reply FIFO in use, none of a question given up, for
    // a late SciTE would wait to write it; the register file for this user alone.
    int fifos = 0;
    for (const auto& entry : fs::recursive_directory_iterator(channelTemp)) {
      if (entry.path().parent_path().filename().native().starts_with("scite-director.")) {
        fifos += entry.is_fifo() ? 1 : 0;
      }
      if (entry.path().filename() == "register") {
        EXPECT_EQ(entry.status().permissions(), fs::perms::owner_read | fs::perms::owner_write);
      }
    }
    EXPECT_LE(fifos, 1);
  }
}

struct FindRow {
  std::string name;
  std::vector<pid_t> live;
  std::vector<pid_t> stale;
  std::optional<pid_t> found;
  std::vector<pid_t> foreign = {};          // read, but owned by another user
  std::map<pid_t, std::string> stats = {};  // in place of the chain's own
};

// findScite from 300 over a fake /proc and the row's request FIFOs: the pid found, and whether
// its FIFO path is the one the pid names.
void checkFinds(const FindRow& row) {
  SCOPED_TRACE(row.name);
  // 300 -> 200 -> 100 -> 1; a parser that stops at the first ')' of 300's name reads parent 1.
  std::map<pid_t, std::string> stats = row.stats;
  stats.merge(std::map<pid_t, std::string>{
      {300, "300 (tool) (x) S 1 (y) S 200 300 300 0"},
      {200, "200 (sh) S 100 200 200 0"},
      {100, "100 (scite) S 1 100 100 0"},
      {1, "1 (init) S 0 1 1 0"},
  });
  const test_support::TempDir temp("gtk-find");
  for (const auto& [pid, stat] : stats) {
    fs::create_directories(temp.path() / "proc" / std::to_string(pid));
    temp.write(fs::path("proc") / std::to_string(pid) / "stat", stat);
  }
  std::vector<Fd> readers;  // the live ones' SciTEs
  const auto fifo = [&](pid_t pid) {
    return temp.path() / ("SciTE." + std::to_string(pid) + ".in");
  };
  for (const pid_t pid : row.stale) {
    ::mkfifo(fifo(pid).c_str(), 0600);
  }
  for (const pid_t pid : row.live) {
    ::mkfifo(fifo(pid).c_str(), 0600);
    readers.emplace_back(::open(fifo(pid).c_str(), O_RDWR | O_NONBLOCK));
  }
  constexpr uid_t kNobody = 65534;
  for (const pid_t pid : row.foreign) {
    ::mkfifo(fifo(pid).c_str(), 0666);
    ASSERT_EQ(::chown(fifo(pid).c_str(), kNobody, kNobody), 0);
    readers.emplace_back(::open(fifo(pid).c_str(), O_RDWR | O_NONBLOCK));
  }
  const auto scite =
      director::gtk::findScite(300, {.proc = temp.path() / "proc", .temp = temp.path()});
  EXPECT_EQ(scite ? std::optional(scite->pid) : std::nullopt, row.found);
  if (scite) {
    EXPECT_EQ(scite->requestFifo, fifo(scite->pid));
  }
}

TEST(GtkChannel, FindsTheNearestSciteUpTheParentChain) {
  const FindRow rows[] = {
      {"through a name with ') (' and blanks", {100}, {}, 100},
      {"the nearest of two", {200, 100}, {}, 200},
      {"past a crashed one", {100}, {200}, 100},
      {"only a crashed one", {}, {100}, std::nullopt},
      {"none", {}, {}, std::nullopt},
      {"a loop in the parent chain ends",
       {},
       {},
       std::nullopt,
       {},
       {{100, "100 (scite) S 200 100 100 0"}}},
      {"a parent field with junk after it",
       {100},
       {},
       std::nullopt,
       {},
       {{200, "200 (sh) S 100x 200 200 0"}}},
  };
  for (const FindRow& row : rows) {
    checkFinds(row);
  }
}

// Only root can give a FIFO to another user.
TEST(GtkChannel, FindsNoSciteInAnotherUsersFifo) {
  if (::geteuid() != 0) {
    GTEST_SKIP() << "needs root to make a FIFO owned by another user";
  }
  const FindRow rows[] = {
      {"past another user's", {100}, {}, 100, {200}},
      {"only another user's", {}, {}, std::nullopt, {100}},
  };
  for (const FindRow& row : rows) {
    checkFinds(row);
  }
}

TEST(GtkChannel, TempFolderFromTmpdir) {
  const std::pair<std::string, fs::path> rows[] = {
      {"", "/tmp"},
      {"/var/spool/x", "/var/spool/x"},
  };
  for (const auto& [tmpdir, folder] : rows) {
    const test_support::ScopedEnv env("TMPDIR", tmpdir);
    EXPECT_EQ(director::gtk::tempFolder(), folder) << "TMPDIR=" << tmpdir;
  }
}

// SendCommand over the client's channel to a fake SciTE that runs this test, as its parent would.
TEST(GtkClient, RepliesLeftInReceived) {
  struct Row {
    std::string name;
    std::optional<Script> script;  // nothing: no SciTE runs
    std::vector<Step> steps;       // "ask <command>", "pipe <command>" (PipeScite's) or "crash"
  };
  const Row rows[] = {
      {"a failed question after an answered one",
       Script{.notifyPipe = true},
       {{"ask askproperty:a", "whole :0:macro:stringinfo:a"},
        {"crash", ""},
        {"ask askproperty:b", "whole "}}},
      {"a cut reply reported as cut, the next whole one not",
       Script{.notifyPipe = true, .firstDelay = kLimit * 3 / 2},
       {{"ask askproperty:late", "cut "},
        {"ask askproperty:next", "whole :0:macro:stringinfo:next"}}},
      {"a reply without its line break",
       Script{.notifyPipe = true, .keeps = 18},
       {{"ask askproperty:a", "cut :0:macro:stringinfo:a"}}},
      {"PipeScite marks a cut reply",
       Script{.notifyPipe = true, .keeps = 18},
       {{"pipe askproperty:a", "cut a"}}},
      // Lines of the output pane set by a command, as SciTE sends them: raw.
      {"PipeScite takes a value of several lines whole",
       Script{.notifyPipe = true, .value = "a.c:1: x\nb\\c\r\n\n"},
       {{"pipe askproperty:a", "whole a.c:1: x\nb\\c\r\n\n"}}},
      {"no SciTE after one was found", std::nullopt, {{"ask askproperty:a", "out of reach"}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const test_support::TempDir temp("gtk-client");
    std::optional<FakeScite> fake;
    if (row.script) {
      fake.emplace(temp.path(), *row.script, ::getpid());
    }
    EXPECT_EQ(director::gtk::startClient({.temp = temp.path()}, kLimit), row.script.has_value());
    director::received = "stale";
    for (const Step& step : row.steps) {
      if (step.command == "crash") {
        fake.reset();
        continue;
      }
      if (step.command.starts_with("pipe ")) {
        platform::useLinkedPcre();  // its values read as SciTE holds them
        const auto answer = companion::PipeScite(true).send(step.command.substr(5), true);
        EXPECT_EQ(answer ? (answer->cut ? "cut " : "whole ") + answer->text : "", step.outcome);
        continue;
      }
      const bool reached = director::SendCommand(step.command.substr(4), true);
      const std::string outcome =
          (director::gtk::lastReplyCut() ? "cut " : "whole ") + director::received;
      EXPECT_EQ(reached ? outcome : "out of reach", step.outcome) << step.command;
    }
  }
}

// One contract for both transports' edges: a property's value, as each SciTE writes its reply
// (SciTE for Windows escaped after its address, the GTK SciTE raw with a line break), reads back
// as the value itself.
TEST(ReplyValue, BothTransportsGiveTheValueAsSciteHoldsIt) {
  platform::useLinkedPcre();
  const std::vector<std::string> values = {
      "",
      "plain",
      "a:b:c",  // colons inside the value are the value's
      "line\nbreak\\ and \\n",
      std::string("nul\0inside", 11),
      "caf\xC3\xA9 \xE9\x96",
      "ends with a break\n",
  };
  for (const std::string& value : values) {
    const std::string windows = ":1234:macro:stringinfo:" + standin::slash(value);
    const std::string gtk = "macro:stringinfo:" + value + "\n";
    EXPECT_EQ(director::replyValue(windows), value) << windows;
    EXPECT_EQ(director::gtk::replyValue(gtk), value) << gtk;
  }
  EXPECT_EQ(director::gtk::replyValue(""), "");  // SciTE wrote nothing
}

// The prefix is read by hand where a reply's value is wanted: exactly what the pattern matches.
TEST(ReplyValue, ThePrefixReadByHandIsThePatterns) {
  platform::useLinkedPcre();
  const platform::Regex prefix = platform::re(director::kReplyPrefixPattern);
  for (const std::string reply :
       {":1:macro:stringinfo:v", ":1234:a:b:c:d", ":12:a:b:", ":12::b:v", ":12:a::v", ":x:a:b:v",
        "::a:b:v", ":1:a:b", ":1a:b:c:v", "1:a:b:v", ":", "", ":1:a\nb:c:\nv", ":1:"}) {
    EXPECT_EQ(director::withoutReplyPrefix(reply), platform::replace(reply, prefix)) << reply;
  }
}

}  // namespace
