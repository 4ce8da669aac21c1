// What a run needs of the system under it, one of these a platform: the seam between the
// companion's portable run and each platform's shell.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "companion/address/hand_over.h"
#include "companion/address/url_limit.h"
#include "companion/query/encoding.h"
#include "companion/settings/setting_types.h"

namespace companion {

// Why an address handed to the browser did not open, or nothing: asked once, it waits for the
// hand-over's end as long as the platform does.
using BrowserVerdict = std::function<std::optional<BrowserFailure>()>;

// Marks a step of a run in a trace of it (the bench's breakdown of a key press).
using TraceStep = std::function<void(std::string_view step)>;

// The environment variable that names a trace's file, on every platform: the bench sets it.
inline constexpr const char* kTraceVariable = "WEBSEARCH_TRACE";

// Keeps no trace.
inline void traceNothing(std::string_view /*step*/) {}

// What a run needs of the system under it: one of these a platform.
struct RunSystem {
  EditorKind editor = EditorKind::windows;  // the SciTE that runs the tool
  // A document's bytes in a code page or a charset as UTF-8; nothing when they hold a byte with
  // no character in it.
  std::function<std::optional<std::string>(std::string_view bytes, const Encoding& encoding)>
      toUtf8;
  // The UTF-16 units the launcher's command line had for the selection: a selection fetched here
  // is cut to them as the launcher cuts.
  std::size_t selectionRoom = std::numeric_limits<std::size_t>::max();
  IniReader readIni;                         // websearch.ini beside the program
  std::size_t maxUrlLength = kMaxUrlLength;  // the longest address its shell takes
  // Starts handing the address to the browser, without waiting for the hand-over to end, so that
  // the addresses of a group start one right after the other.
  std::function<BrowserVerdict(const std::string& url)> openInBrowser;
  ProgramLineRules programLineRules = ProgramLineRules::Posix;  // how its users write commands
  // Starts a program the user named and leaves it running: why it did not start, or nothing.
  std::function<std::optional<BrowserFailure>(const ProgramCommand&)> startProgram;
  // A file's whole text; nothing when it cannot be read (the recent searches kept on disk).
  std::function<std::optional<std::string>(const std::string& path)> readFile;
  // Replaces a file's whole text at once: written to a temporary file of a unique name beside it
  // and renamed into place, so that a crash never leaves half a file. Why it failed, or nothing.
  std::function<std::optional<std::string>(const std::string& path, const std::string& text)>
      replaceFile;
  // Puts the caret of the strip's field `control` after its text, so that words typed at once
  // are added to it: SciTE's Lua sets a field's text with the caret before it and cannot move
  // it. Empty where the platform needs no help (GTK: see the strip).
  std::function<void(int control)> stripCaretToEnd;
  std::function<void(std::chrono::milliseconds)> pause;  // between looks at SciTE's list
  std::function<std::uint32_t()> processId;              // makes the run's names in SciTE unique
  TraceStep trace = traceNothing;
  // Seconds since 1970, as Lua's os.time() in SciTE counts them.
  std::function<std::int64_t()> now = [] {
    const auto since = std::chrono::system_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::seconds>(since).count();
  };
};

}  // namespace companion
