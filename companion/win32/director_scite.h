// Commands to SciTE for Windows' director window, within a time limit.
#pragma once

#include "companion/scite/scite.h"
#include "platform/win32/win32.h"

namespace companion {

// Every command goes to the director window found at the start of the run: once the browser or
// the user's click elsewhere takes the foreground, SciTE would no longer be found.
class WindowScite final : public Scite {
public:
  // `window` is SciTE's director window, or null when SciTE is out of reach.
  explicit WindowScite(HWND window) : window_(window) {}

  [[nodiscard]] bool inReach() const noexcept override { return window_ != nullptr; }
  std::optional<Answer> send(std::string_view command, bool expectReply) const override;

private:
  HWND window_;
};

// Puts the caret after the text of the strip's field `control`, in the SciTE whose director
// window is `sciteDirector`; nothing when no strip of it is found.
void stripCaretToEnd(HWND sciteDirector, int control);

}  // namespace companion
