// Handing an address to the desktop's browser through xdg-open or to a program the user named,
// and the program's own folder.
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "companion/address/hand_over.h"
#include "companion/run_system.h"

namespace companion {

// How long openInBrowser waits for xdg-open's exit status. xdg-open hands the address to the
// desktop's opener and ends within a fraction of a second, having already said whether the
// address could be handed over; without a desktop it runs the browser itself and waits for it,
// which may be as long as the browser stays open. Two seconds holds the tool's run in SciTE no
// longer than a user notices, and leaves a loaded machine time to report a failure.
inline constexpr std::chrono::milliseconds kBrowserWait{2000};

// Starts `xdg-open <url>` (found on PATH; the url is its one argument, byte for byte) in a
// session of its own, with standard input, output and error on /dev/null and no other open file
// of this process: SciTE writes ">Exit code:" only when every holder of the tool's output has
// closed it, so the browser must hold none. Then waits up to kBrowserWait, polling every few
// milliseconds, for xdg-open's exit status, never for the browser:
// - exit 0: opened (nothing returned);
// - exit N != 0: failure "xdg-open ended with exit code N", code N (xdg-open's own codes: 1 bad
//   arguments, 2 a file missing, 3 a tool missing, 4 the action failed);
// - xdg-open cannot be started (not on PATH, say): failure with the system's text and errno;
// - still running at the end of the wait: opened, as it is busy handing over to a browser. The
//   child is left to finish on its own and nobody here reaps it; the companion exits right after,
//   and the child, reparented, is reaped by init (or the session's subreaper).
[[nodiscard]] std::optional<BrowserFailure> openInBrowser(const std::string& url);

// Starts xdg-open as openInBrowser does and returns at once; the verdict waits for it as
// openInBrowser does, up to kBrowserWait from its start, so that several started one after the
// other are waited for together.
[[nodiscard]] BrowserVerdict handOver(const std::string& url);

// Starts `command`'s program (looked up on PATH when its name has no '/') with its arguments, as
// detached as xdg-open, and leaves it running: a browser that stays open is no error. Only a
// failure to start is one: the system's text and errno.
[[nodiscard]] std::optional<BrowserFailure> startProgram(const ProgramCommand& command);

}  // namespace companion
