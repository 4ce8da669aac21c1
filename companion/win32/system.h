// The companion's Windows shell: its run over the bound system functions, SciTE's director
// window, the settings file and the browser.
#pragma once

#include <optional>
#include <string>

#include "companion/address/decision.h"
#include "companion/open/hand_over.h"
#include "companion/settings/setting_types.h"
#include "companion/win32/bindings.h"
#include "platform/win32/win32.h"

namespace companion {

// The longest address this system's shell is handed: shorter under an old Wine.
[[nodiscard]] std::size_t shellUrlLimit();

// Binds the director client's groups and creates its receiver window. False, quietly, when any
// of it fails: SciTE then counts as out of reach and messages go to standard error.
[[nodiscard]] bool startDirectorClient() noexcept;

// The folder of the running executable, through this program's own slot.
[[nodiscard]] WString ownFolder();

// websearch.ini beside the executable: its full path and up to kMaxIniBytes of its text (empty
// when there is no such file).
[[nodiscard]] IniFile readIniFile();

// Starts `command`'s program, found by its full path (an absolute path as written, or a bare
// name in PATH's absolute folders, never the current one, which is the document's), with a
// command line the C run time splits into exactly its arguments; detached, and left to run. A
// .bat or .cmd file is not started (runsThroughCmd). Why it did not start, or nothing.
[[nodiscard]] std::optional<BrowserFailure> startProgram(const ProgramCommand& command);

// SciTE's director window, or null when the client is not running or SciTE is out of reach.
[[nodiscard]] HWND findScite();

// One run over the bound slots: read the selection (or the word at the caret), choose the URL,
// offer SciTE's list of engines when the settings name several, say what happens, hand it to
// the browser. It talks to `window`, SciTE's director window as found at the start; when that
// is null what it says goes to standard error.
[[nodiscard]] ExitCode searchFromCommandLine(HWND window);

// searchFromCommandLine with the window findScite gives; anything it throws is said where its lines
// go and ends the run with ExitCode::Unexpected.
[[nodiscard]] int runBound() noexcept;

// The whole program: bind, start the director client, then run.
[[nodiscard]] int runCompanion() noexcept;

}  // namespace companion
