// The companion's decision, free of any system call: which URL a selection leads to, or why none.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "companion/address/exit_code.h"
#include "companion/address/hand_over.h"
#include "companion/address/url_limit.h"
#include "companion/settings/setting_types.h"

namespace companion {

// One address a run opens, and where.
struct Opening {
  std::string url;                        // what goes to the shell or the program
  BrowserSetting browser;                 // where it opens
  std::optional<ProgramCommand> command;  // the program it opens with; none: the default browser
  std::size_t line = 0;                   // its "+> Search:" or "+> Open:" line in the outcome's
  bool operator==(const Opening&) const = default;
};

// What the text of a run without a selection is.
enum class CaretText {
  none,         // a selection
  word,         // the word at the caret
  address,      // the web address the caret is in
  outputPane,   // the output pane's message, a command set for this search
  commandText,  // a text a command set for this search (websearch.next.text)
  link,         // a link's match in the caret's line: the link's line says it
};

// Where a run's addresses go.
enum class Destination {
  browser,    // each opens, in its program or the default browser
  clipboard,  // copied, a group's one a line
};

// What one run tells the user and opens.
struct Outcome {
  ExitCode code = ExitCode::Opened;
  std::vector<std::string> lines;  // in order, unescaped
  std::vector<Opening> openings;   // in the order they open (or are copied); none unless code is
                                   // Opened or PartlyOpened
  Destination destination = Destination::browser;
  bool operator==(const Outcome&) const = default;
};

struct SearchRequest {
  std::string_view text;  // folded, as foldedSelection gives it, or what the caret is in
  CaretText fromCaret = CaretText::none;  // what of the caret's the text is, if it is no selection
  // The text at the caret in the output pane's encoding, when that is not UTF-8; else empty.
  std::string_view paneWord;
  TemplateSetting setting;                   // as chooseTemplate gives it
  std::size_t maxUrlLength = kMaxUrlLength;  // the longest address the shell may get
  BrowserSetting searchBrowser;              // where a search with the template opens
  BrowserSetting addressBrowser;             // where a text that is an address opens
  // Read by the plan once the addresses are made, not by decide: where the user asked them to go,
  // and how the program a browser setting names is read, as the platform's users write a program
  // line with SciTE's properties for its references (none while SciTE is out of reach: then
  // every address opens in the default browser).
  Destination destination = Destination::browser;
  ProgramLineRules programLineRules = ProgramLineRules::Posix;
  PropertyLookup properties;
};

// A selection opened as it is: one web address that fits the limit once encoded.
[[nodiscard]] bool opensAsIs(std::string_view text, std::size_t maxUrlLength);

// What the pane is told of the text before its address: the word or the address at the caret,
// the output pane's message, a command's text; nothing for a selection or a link's match.
[[nodiscard]] std::optional<std::string> textLine(const SearchRequest& request);

// Decides the URL, where it opens and the lines that go before it. Nothing to search, a bad
// template (for where its searches open) or one that leaves no room for the words within the
// request's limit opens nothing.
[[nodiscard]] Outcome decide(const SearchRequest& request);

}  // namespace companion
