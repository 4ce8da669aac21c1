// The companion's talk with the SciTE that ran it, over whatever carries commands on this
// platform (scite_window.h on Windows, posix/director_scite.h on Linux). Every command has a time
// limit, so that a SciTE held by a modal dialog, or gone, cannot hold the companion.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace companion {

// One command of several sent at once, and whether it answers.
struct Command {
  std::string text;
  bool expectReply = false;
};

// What SciTE answered a command: the reply's value, unescaped by the transport (empty for a
// command that gets no reply), and whether it arrived cut at the transport's size (the GTK
// SciTE's reply pipe).
struct Answer {
  std::string text;
  bool cut = false;
  bool operator==(const Answer&) const = default;
};

class Scite {
public:
  Scite() = default;
  Scite(const Scite&) = delete;
  Scite& operator=(const Scite&) = delete;
  virtual ~Scite() = default;

  // SciTE was found at the start of the run.
  [[nodiscard]] virtual bool inReach() const noexcept = 0;
  // Sends one command and returns what SciTE answered (a reply when `expectReply` and SciTE gives
  // one); nothing when SciTE is out of reach or did not take it in time.
  virtual std::optional<Answer> send(std::string_view command, bool expectReply) const = 0;

  // Sends the commands in order, at once where the transport can (one wait for SciTE instead of
  // one each); the answers of those that expect one, in order, up to the first command SciTE did
  // not take. Here one by one, through send.
  [[nodiscard]] virtual std::vector<Answer> sendAll(const std::vector<Command>& commands) const;

  // Runs Lua code inside SciTE.
  bool run(std::string_view lua) const;
  // A property's raw value, unescaped; empty when it is undefined, nothing when SciTE did not
  // answer.
  [[nodiscard]] std::optional<std::string> ask(std::string_view key) const;
  // A line for the user: in SciTE's output pane, or on standard error when SciTE is out of reach
  // or does not take it.
  void say(std::string_view line) const;
  // For the last line of a run that has already failed: it never throws, and a line that
  // cannot reach SciTE goes to standard error instead.
  void sayLast(std::string_view line) const noexcept;
};

}  // namespace companion
