// The GTK transport against a fake SciTE that reads requests and answers on FIFOs as the GTK
// SciTE does, scripted per row; and findScite over a fake /proc.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "director/gtk/channel.h"
#include "platform/errors.h"
#include "tests/scite_standin/escapes.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using director::gtk::Fd;
using namespace std::chrono_literals;

constexpr pid_t kPid = 4242;
constexpr auto kLimit = 500ms;

struct Script {
  bool listens = true;           // false: the FIFO of a crashed SciTE, nobody reads it
  bool notifyPipe = false;       // answers before any register:
  bool registers = true;         // register: gives it a notify pipe
  std::string value;             // every askproperty: answer; the key when empty
  std::size_t keeps = SIZE_MAX;  // bytes of the answer written before it closes the reply
  bool lineBreak = true;
  std::chrono::milliseconds firstDelay{0};
};

// SciTE's director as the channel meets it: requests read as they come and split at line breaks
// (an unfinished line runs too), answers written raw without blocking, then the reply closed.
// Each request is recorded with its reply path shown as FIFO or FILE.
class FakeScite {
public:
  FakeScite(const fs::path& temp, Script script)
      : temp_(temp),
        fifo_(temp / ("SciTE." + std::to_string(kPid) + ".in")),
        script_(std::move(script)) {
    ::mkfifo(fifo_.c_str(), 0600);
    if (script_.listens) {
      requests_ = Fd{::open(fifo_.c_str(), O_RDWR | O_NONBLOCK)};
      std::array<int, 2> ends{};
      EXPECT_EQ(::pipe(ends.data()), 0);
      stopRead_ = Fd{ends[0]};
      stopWrite_ = Fd{ends[1]};
      thread_ = std::thread([this] { run(); });
    }
  }
  ~FakeScite() {
    if (thread_.joinable()) {
      EXPECT_EQ(::write(stopWrite_.get(), "x", 1), 1);
      thread_.join();
    }
  }
  FakeScite(const FakeScite&) = delete;
  FakeScite& operator=(const FakeScite&) = delete;

  [[nodiscard]] director::gtk::Scite scite() const { return {kPid, fifo_}; }
  // What it has read once `count` requests came, or after a second.
  [[nodiscard]] std::vector<std::string> requests(std::size_t count) {
    for (int wait = 0; wait < 100; ++wait) {
      {
        const std::scoped_lock lock(mutex_);
        if (requests_seen_.size() >= count) {
          break;
        }
      }
      std::this_thread::sleep_for(10ms);
    }
    const std::scoped_lock lock(mutex_);
    return requests_seen_;
  }

private:
  void run() {
    for (;;) {
      std::array<pollfd, 2> fds{{{requests_.get(), POLLIN, 0}, {stopRead_.get(), POLLIN, 0}}};
      ::poll(fds.data(), fds.size(), -1);
      if (fds[1].revents != 0) {
        return;
      }
      std::string text;
      std::array<char, 8191> chunk{};
      for (ssize_t got = 0; (got = ::read(requests_.get(), chunk.data(), chunk.size())) > 0;) {
        text.append(chunk.data(), static_cast<std::size_t>(got));
      }
      for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        handle(text.substr(start, end - start));
        start = end + 1;
      }
    }
  }

  void handle(const std::string& line) {
    std::string path;
    std::string command = line;
    if (const std::size_t colon = line.find(':', 1); line.starts_with(':') && colon != line.npos) {
      path = line.substr(1, colon - 1);
      command = line.substr(colon + 1);
    }
    struct stat status {};
    const bool isFifo = ::stat(path.c_str(), &status) == 0 && S_ISFIFO(status.st_mode);
    {
      const std::scoped_lock lock(mutex_);
      requests_seen_.push_back(path.empty() ? line : (isFifo ? ":FIFO:" : ":FILE:") + command);
    }
    if (command == "register:") {
      if (script_.registers) {
        const fs::path out = temp_ / ("SciTE." + std::to_string(kPid) + ".1.out");
        const Fd file{::open(path.c_str(), O_WRONLY | O_CREAT, 0700)};
        const std::string name = out.native() + "\n";
        EXPECT_EQ(::write(file.get(), name.data(), name.size()), std::ssize(name));
        ::mkfifo(out.c_str(), 0600);
        script_.notifyPipe = true;
      }
      return;
    }
    const Fd reply{::open(path.c_str(), O_RDWR | O_NONBLOCK)};
    std::this_thread::sleep_for(std::exchange(script_.firstDelay, 0ms));
    const std::string_view verb = "askproperty:";
    const std::string plain = standin::unslash(command);
    if (!reply || !script_.notifyPipe || !plain.starts_with(verb)) {
      return;
    }
    const std::string value = script_.value.empty() ? plain.substr(verb.size()) : script_.value;
    const std::string answer = "macro:stringinfo:" + value.substr(0, script_.keeps);
    static_cast<void>(::write(reply.get(), answer.data(), answer.size()));
    if (script_.lineBreak && script_.keeps >= value.size()) {
      static_cast<void>(::write(reply.get(), "\n", 1));
    }
  }

  fs::path temp_;
  fs::path fifo_;
  Script script_;
  Fd requests_;
  Fd stopRead_;
  Fd stopWrite_;
  std::mutex mutex_;
  std::vector<std::string> requests_seen_;
  std::thread thread_;
};

struct Step {
  bool ask = true;
  std::string command;
  std::string outcome;  // "whole <received>", "cut <received>", "not taken", "sent", "too long"
};

std::string run(director::gtk::Channel& channel, const Step& step) {
  try {
    if (!step.ask) {
      return channel.send(step.command) ? "sent" : "not taken";
    }
    const auto reply = channel.ask(step.command);
    return !reply ? "not taken" : (reply->cut ? "cut " : "whole ") + reply->received;
  } catch (const platform::RangeError&) {
    return "too long";
  }
}

TEST(GtkChannel, FaultsOfSciteAndOfTheRequests) {
  struct Row {
    std::string name;
    Script script;
    bool hasOut = false;  // a SciTE.<pid>.<k>.out of an earlier registration
    std::vector<Step> steps;
    std::vector<std::string> requests;
  };
  const std::string atLimit = "output:" + std::string(director::gtk::kMaxRequestBytes - 8, 'x');
  const std::string overLimit = atLimit + "x";
  const Step askA{true, "askproperty:a", "whole :0:macro:stringinfo:a"};
  const std::string reqA = ":FIFO:askproperty:a";
  const Row rows[] = {
      {"no reply until registered", {}, false, {askA}, {reqA, ":FILE:register:", reqA}},
      {"registers once only",
       {.registers = false},
       false,
       {{true, "askproperty:a", "whole "}, {true, "askproperty:b", "whole "}},
       {reqA, ":FILE:register:", reqA, ":FIFO:askproperty:b"}},
      {"no register beside a notify pipe", {}, true, {{true, "askproperty:a", "whole "}}, {reqA}},
      {"a reply without its line break",
       {.notifyPipe = true, .lineBreak = false},
       false,
       {{true, "askproperty:a", "cut :0:macro:stringinfo:a"}},
       {reqA}},
      {"a writer that closes early",
       {.notifyPipe = true, .value = "abcdef", .keeps = 2},
       false,
       {{true, "askproperty:a", "cut :0:macro:stringinfo:ab"}},
       {reqA}},
      {"slower than the limit, its late answer not taken for the next",
       {.notifyPipe = true, .firstDelay = kLimit * 3 / 2},
       false,
       {{true, "askproperty:late", "cut "},
        {true, "askproperty:next", "whole :0:macro:stringinfo:next"}},
       {":FIFO:askproperty:late", ":FIFO:askproperty:next"}},
      {"a line break in a reply",
       {.notifyPipe = true, .value = "a\nb\\c\x01"},
       false,
       {{true, "askproperty:a", R"(whole :0:macro:stringinfo:a\nb\\c\001)"}},
       {reqA}},
      {"a request at the size limit", {}, false, {{false, atLimit, "sent"}}, {atLimit}},
      {"a request over the size limit", {}, false, {{false, overLimit, "too long"}}, {}},
      {"bytes that are not UTF-8, controls",
       {},
       false,
       {{false, "output:\xC3\xA9\xFF\xC0\xAF\xED\xA0\x80\x01\x7F\\t", "sent"}},
       {"output:\xC3\xA9\\377\\300\\257\\355\\240\\200\\001\\177\\t"}},
      {"a line break in a command",
       {},
       false,
       {{false, "output:a\r\nquit:", "sent"}},
       {R"(output:a\015\012quit:)"}},
      {"a reply path of the caller's",
       {},
       false,
       {{false, ":/x:askproperty:a", "sent"}},
       {R"(\072/x:askproperty:a)"}},
      {"a crashed SciTE's FIFO",
       {.listens = false},
       false,
       {{false, "output:a", "not taken"}, {true, "askproperty:a", "not taken"}},
       {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const test_support::TempDir temp("gtk-channel");
    if (row.hasOut) {
      temp.write("SciTE." + std::to_string(kPid) + ".3.out", "");
    }
    FakeScite fake(temp.path(), row.script);
    director::gtk::Channel channel(fake.scite(), kLimit, {.temp = temp.path()});
    for (const Step& step : row.steps) {
      EXPECT_EQ(run(channel, step), step.outcome) << step.command.substr(0, 40);
    }
    EXPECT_EQ(fake.requests(row.requests.size()), row.requests);
  }
}

TEST(GtkChannel, ReplyLargerThanAPipeArrivesWhole) {
  const test_support::TempDir temp("gtk-channel");
  const std::string value(std::size_t{300} * 1024, 'v');
  FakeScite fake(temp.path(), {.notifyPipe = true, .value = value});
  director::gtk::Channel channel(fake.scite(), kLimit, {.temp = temp.path()});
  const auto reply = channel.ask("askproperty:big");
  const auto [received, cut] = reply.value_or(director::gtk::Reply{"nothing", true});
  EXPECT_FALSE(cut);
  EXPECT_EQ(received, ":0:macro:stringinfo:" + value);
}

TEST(GtkChannel, FindsTheNearestSciteUpTheParentChain) {
  // 300 -> 200 -> 100 -> 1; a parser that stops at the first ')' of 300's name reads parent 1.
  const std::map<pid_t, std::string> stats = {
      {300, "300 (tool) (x) S 1 (y) S 200 300 300 0"},
      {200, "200 (sh) S 100 200 200 0"},
      {100, "100 (scite) S 1 100 100 0"},
      {1, "1 (init) S 0 1 1 0"},
  };
  struct Row {
    std::string name;
    std::vector<pid_t> live;
    std::vector<pid_t> stale;
    std::optional<pid_t> found;
  };
  const Row rows[] = {
      {"through a name with ') (' and blanks", {100}, {}, 100},
      {"the nearest of two", {200, 100}, {}, 200},
      {"past a crashed one", {100}, {200}, 100},
      {"only a crashed one", {}, {100}, std::nullopt},
      {"none", {}, {}, std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const test_support::TempDir temp("gtk-find");
    for (const auto& [pid, stat] : stats) {
      fs::create_directories(temp.path() / "proc" / std::to_string(pid));
      temp.write(fs::path("proc") / std::to_string(pid) / "stat", stat);
    }
    std::vector<Fd> readers;
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
    const auto scite =
        director::gtk::findScite(300, {.proc = temp.path() / "proc", .temp = temp.path()});
    EXPECT_EQ(scite ? std::optional(scite->pid) : std::nullopt, row.found);
    if (scite) {
      EXPECT_EQ(scite->requestFifo, fifo(scite->pid));
    }
  }
}

}  // namespace
