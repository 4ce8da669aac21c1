// The GTK SciTE's director as its clients meet it, in a test's own folder: its request FIFO read
// as the GTK SciTE reads it, each answer written to the reply FIFO named, as scripted.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "director/gtk/discovery.h"
#include "platform/posix/owners.h"
#include "tests/scite_standin/escapes.h"
#include "tests/support/files.h"

namespace test_support {

// What the fake SciTE does, a row at a time.

struct Script {
  bool listens = true;           // false: the FIFO of a crashed SciTE, nobody reads it
  bool reads = true;             // false: a hung SciTE, its FIFO open but never read
  bool notifyPipe = false;       // answers before any register:
  bool registers = true;         // register: gives it a notify pipe
  bool hadOne = false;           // a SciTE.<pid>.<k>.out of an earlier registration is there
  std::string value;             // every askproperty: answer; the key when empty
  bool unset = false;            // every askproperty: answered empty, as for keys not set
  std::size_t keeps = SIZE_MAX;  // bytes of "macro:stringinfo:<value>" written; all: a line break
  std::chrono::milliseconds firstDelay{0};
  bool marksReads = false;  // a request read together with the one before it shows "+" first
  std::size_t closesAfter = SIZE_MAX;  // reads of requests before it quits: its FIFO closed, gone
};

// SciTE's director as the channel meets it: requests read as they come and split at line breaks
// (an unfinished line runs too), answers written raw without blocking, then the reply closed.
// Each request is recorded with its reply path shown as FIFO or FILE, and where its folder is
// when that is not in `temp`.
class FakeScite {
public:
  FakeScite(const std::filesystem::path& temp, Script script, pid_t pid)
      : pid_(std::to_string(pid)),
        temp_(temp),
        fifo_(temp / ("SciTE." + pid_ + ".in")),
        script_(std::move(script)) {
    ::mkfifo(fifo_.c_str(), 0600);
    if (script_.hadOne) {
      test_support::writeFile(temp / ("SciTE." + pid_ + ".3.out"), "");
    }
    if (script_.listens) {
      requests_ = platform::Fd{::open(fifo_.c_str(), O_RDWR | O_NONBLOCK)};
    }
    if (script_.listens && script_.reads) {
      thread_ = std::jthread([this](const std::stop_token& stop) { run(stop); });
    }
  }

  [[nodiscard]] director::gtk::SciteFifo scite() const { return {std::stoi(pid_), fifo_}; }
  // What it has read once `count` requests came, or after a second.
  [[nodiscard]] std::vector<std::string> requests(std::size_t count) {
    for (int wait = 0; wait < 100 && seen().size() < count; ++wait) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return seen();
  }

private:
  std::vector<std::string> seen() {
    const std::scoped_lock lock(mutex_);
    return seen_;
  }

  void run(const std::stop_token& stop) {
    while (!stop.stop_requested()) {
      pollfd entry{requests_.get(), POLLIN, 0};
      ::poll(&entry, 1, 5);
      std::string text;
      std::array<char, 8191> chunk{};
      for (ssize_t got = 0; (got = ::read(requests_.get(), chunk.data(), chunk.size())) > 0;) {
        text.append(chunk.data(), static_cast<std::size_t>(got));
      }
      for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        handle(text.substr(start, end - start), start > 0);
        start = end + 1;
      }
      if (!text.empty() && ++reads_ == script_.closesAfter) {
        requests_ = platform::Fd{};
        std::filesystem::remove(fifo_);
        return;
      }
    }
  }

  void handle(const std::string& line, bool sameRead) {
    std::string path;
    std::string command = line;
    if (const std::size_t colon = line.find(':', 1); line.starts_with(':') && colon != line.npos) {
      path = line.substr(1, colon - 1);
      command = line.substr(colon + 1);
    }
    struct stat status {};
    const bool isFifo = ::stat(path.c_str(), &status) == 0 && S_ISFIFO(status.st_mode);
    const std::filesystem::path folder = std::filesystem::path(path).parent_path().parent_path();
    const std::string where = folder == temp_ ? "" : (folder == "/tmp" ? " in /tmp" : " elsewhere");
    {
      const std::scoped_lock lock(mutex_);
      seen_.push_back(std::string(sameRead && script_.marksReads ? "+" : "") +
                      (path.empty()
                           ? line
                           : ":" + std::string(isFifo ? "FIFO" : "FILE") + where + ":" + command));
    }
    if (command == "register:") {
      if (script_.registers) {
        const std::string out = (temp_ / ("SciTE." + pid_ + ".1.out")).native();
        test_support::writeFile(path, out + "\n");
        ::mkfifo(out.c_str(), 0600);
        script_.notifyPipe = true;
      }
      return;
    }
    const platform::Fd reply{::open(path.c_str(), O_RDWR | O_NONBLOCK)};
    std::this_thread::sleep_for(std::exchange(script_.firstDelay, std::chrono::milliseconds(0)));
    const std::string_view verb = "askproperty:";
    const std::string plain = standin::unslash(command);
    if (!reply || !script_.notifyPipe || !plain.starts_with(verb)) {
      return;
    }
    const std::string answer =
        "macro:stringinfo:" + (script_.unset           ? std::string()
                               : script_.value.empty() ? plain.substr(verb.size())
                                                       : script_.value);
    static_cast<void>(::write(reply.get(), answer.data(), std::min(answer.size(), script_.keeps)));
    if (script_.keeps > answer.size()) {
      static_cast<void>(::write(reply.get(), "\n", 1));
    }
  }

  std::string pid_;
  std::filesystem::path temp_;
  std::filesystem::path fifo_;
  Script script_;
  platform::Fd requests_;
  std::size_t reads_ = 0;
  std::mutex mutex_;
  std::vector<std::string> seen_;
  std::jthread thread_;  // last: stopped and joined first
};

}  // namespace test_support
