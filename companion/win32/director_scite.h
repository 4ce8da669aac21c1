// Commands to SciTE for Windows' director window, within a time limit.
#pragma once

#include <utility>

#include "companion/run_system.h"
#include "companion/scite/scite.h"
#include "platform/win32/win32.h"

namespace companion {

// Every command goes to the director window found at the start of the run: once the browser or
// the user's click elsewhere takes the foreground, SciTE would no longer be found.
class WindowScite final : public Scite {
public:
  // `window` is SciTE's director window, or null when SciTE is out of reach; `trace` marks each
  // message's start and its reply.
  explicit WindowScite(HWND window, TraceStep trace = traceNothing)
      : window_(window), trace_(std::move(trace)) {}

  [[nodiscard]] bool inReach() const noexcept override { return window_ != nullptr; }
  std::optional<Answer> send(std::string_view command, bool expectReply) const override;

private:
  HWND window_;
  TraceStep trace_;
};

// SciTE's director window by the director's rules (director::pickDirectorWindow), looking only at
// windows of the director's class: the rules' own walk reads every window's title and class,
// which took milliseconds of each press under Wine. Null when SciTE is out of reach.
[[nodiscard]] HWND findSciteDirector();

// Puts the caret after the text of the strip's field `control`, in the SciTE whose director
// window is `sciteDirector`; nothing when no strip of it is found.
void stripCaretToEnd(HWND sciteDirector, int control);

}  // namespace companion
