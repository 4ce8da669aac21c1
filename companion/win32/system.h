// The companion's Windows shell: its run over the bound system functions, SciTE's director
// window, the settings file and the browser.
#pragma once

#include <cstddef>
#include <memory>

#include "companion/address/exit_code.h"
#include "companion/run_system.h"
#include "companion/settings/setting_types.h"
#include "platform/win32/win32.h"
#include "windowhost/wReceiver.h"

namespace companion {

// The longest address this system's shell is handed: shorter under an old Wine.
[[nodiscard]] std::size_t shellUrlLimit();

// Binds the director client's groups and creates its receiver window, marking each in `trace`;
// the window lives as long as what is returned. Null, quietly, when any of it fails: SciTE then
// counts as out of reach and messages go to standard error.
[[nodiscard]] std::unique_ptr<windowhost::wReceiver> startDirectorClient(
    const TraceStep& trace = traceNothing) noexcept;

// The folder of the running executable, through this program's own slot.
[[nodiscard]] WString ownFolder();

// websearch.ini beside the executable: its full path and up to kMaxIniBytes of its text (empty
// when there is no such file).
[[nodiscard]] IniFile readIniFile();

// SciTE's director window, or null when the client is not running or SciTE is out of reach.
[[nodiscard]] HWND findScite();

// One run over the bound slots: read the selection (or the word at the caret), choose the URL,
// offer SciTE's list of engines when the settings name several, say what happens, hand it to
// the browser. It talks to `window`, SciTE's director window as found at the start; when that
// is null what it says goes to standard error.
// `trace` marks each message, the decision, the lines said and the hand-over.
[[nodiscard]] ExitCode searchFromCommandLine(HWND window, const TraceStep& trace = traceNothing);

// searchFromCommandLine with the window findScite gives; anything it throws is said where its lines
// go and ends the run with ExitCode::Unexpected.
[[nodiscard]] int runBound(const TraceStep& trace = traceNothing) noexcept;

}  // namespace companion
