// The companion's talk with the SciTE that ran it. Every command of a run goes to the director
// window found at its start: once the browser or the user's click elsewhere takes the
// foreground, SciTE would no longer be found. Each command has a time limit, so that a SciTE
// held by a modal dialog, or gone, cannot hold the companion.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/win32.h"

namespace companion {

// How long one command may wait for SciTE to take it.
inline constexpr UINT kAnswerTimeoutMs = 5000;

class Scite {
public:
  // `window` is SciTE's director window, or null when SciTE is out of reach.
  explicit Scite(HWND window);

  [[nodiscard]] bool inReach() const noexcept { return window_ != nullptr; }

  // Sends one command; false when SciTE is out of reach or did not take it in time.
  bool send(std::string_view command) const;
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

private:
  HWND window_;
};

}  // namespace companion
