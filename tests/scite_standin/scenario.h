// What a stand-in run is set up with: the document, the selection, initial properties and the
// behaviour options, from "key=value" settings on the command line or in a scenario file.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace standin {

// Ways in which the stand-in answers "askproperty:" unlike SciTE, for tests of bad replies.
enum class Fault {
  none,
  noReply,      // no answer at all
  noPrefix,     // the value alone, without ":<n>:macro:stringinfo:"
  embeddedNul,  // prefix, value, a NUL and more text, all counted in cbData
  shortCbData,  // the full text, but cbData three bytes short
  replyAll,     // SciTE's answer, and an answer ":<n>:macro:echo:<command>" to every other command
};

using PropertyMap = std::map<std::string, std::string, std::less<>>;

struct Options {
  std::string document;
  std::int64_t anchor = 0;
  std::int64_t caret = 0;
  int style = 0;
  std::string file;  // the document's file name, e.g. "C:\\docs\\script.py"; empty: untitled
  PropertyMap properties;
  bool foreground = true;       // false: a decoy window takes the foreground instead
  bool replyCountsNul = false;  // cbData of an answer counts a terminating NUL
  Fault fault = Fault::none;
  int extraDirectors = 0;         // more "DirectorExtension" windows, each in its own process
  bool parentedDirector = false;  // one more, owned by the main window
  bool directorOnly = false;      // only a hidden "DirectorExtension" window (for the above)
  std::int64_t timeoutMs = 60000;
  std::string startupLua;  // run once before any frame, e.g. to replace an editor method
};

// Applies "key=value"; the value takes the escapes of decodeValue. Raises std::invalid_argument
// for an unknown key or a malformed value.
void applySetting(Options& options, std::string_view setting);

// Applies each line of a scenario file; blank lines and lines starting with '#' are skipped, a
// CR before the line feed is dropped.
void applyScenario(Options& options, std::string_view fileText);

// The properties a run starts with: `properties`, and SciTE's FilePath, FileNameExt and FileExt
// (after the last dot of the name, without the dot) from `file`, unless `properties` sets them.
[[nodiscard]] PropertyMap startingProperties(const Options& options);

// The settings that make `options` again (the document and properties escaped), one per line.
[[nodiscard]] std::string scenarioText(const Options& options);

}  // namespace standin
