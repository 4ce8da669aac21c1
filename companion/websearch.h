// The companion's decisions, free of any system call: which URL a selection leads to, or why none.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace companion {

// The process's exit codes, for runs by hand or from a script; SciTE does not show them.
enum class ExitCode : int {
  Opened = 0,             // the URL went to the default browser
  Unexpected = 1,         // an error nothing here anticipated, such as running out of memory
  NothingToSearch = 2,    // the selection was empty or white space only
  BadTemplate = 3,        // the setting chosen is no http(s) template with {query}
  OpenFailed = 4,         // the shell could not open the URL
  SystemUnavailable = 5,  // a system library or function could not be bound
};

inline constexpr std::string_view kDefaultTemplate = "https://duckduckgo.com/?q={query}";
inline constexpr std::string_view kQueryPlaceholder = "{query}";
// A chain of references in SciTE's properties deeper than this is refused rather than expanded.
inline constexpr std::size_t kMaxReferenceNesting = 10;

// The text after the program's own name on a raw command line and the one blank or tab after it.
// The name ends at the first blank or tab outside double quotes, the way the C run time reads it.
[[nodiscard]] std::string selectionFromCommandLine(std::string_view commandLine);

// Runs of blanks, tabs and line breaks become one blank; none is left at either end.
[[nodiscard]] std::string collapseWhiteSpace(std::string_view text);

// Every byte but the unreserved characters of URIs (letters, digits, - . _ ~) becomes %XX.
[[nodiscard]] std::string percentEncode(std::string_view text);

// Encodes the bytes that may not stand in a URI at all (blanks, quotes, angle brackets, control
// and non-ASCII bytes, ...), so that no browser command line can be split by the URL.
[[nodiscard]] std::string toUriCharacters(std::string_view url);

// True for text that begins with http:// or https:// (any case) and has more after it.
[[nodiscard]] bool hasWebScheme(std::string_view text);

// A selection opened as it is: one token with a web scheme.
[[nodiscard]] bool isWebUrl(std::string_view text);

// A usable template has a web scheme and the {query} placeholder.
[[nodiscard]] bool isValidTemplate(std::string_view urlTemplate);

// The longest address handed to the shell; longer ones are not opened by every browser.
inline constexpr std::size_t kMaxUrlLength = 2048;
// The longest under Wine before 8.17, whose shell overflows a fixed buffer with addresses of
// about 1,000 characters while it builds the browser's command line (984 still open with its
// default handler; this leaves room for a longer handler command).
inline constexpr std::size_t kOldWineMaxUrlLength = 900;

// The limit for a system that gives `wineVersion` ("8.0", "10.0-rc2") as Wine's version, or
// none (std::nullopt: not Wine). A version that cannot be read counts as an old one.
[[nodiscard]] std::size_t maxUrlLengthFor(std::optional<std::string_view> wineVersion);
// websearch.ini is read up to this size; anything beyond it is ignored.
inline constexpr std::size_t kMaxIniBytes = std::size_t{64} * 1024;

// The template a run uses and where it was written, for the message about a bad one.
struct TemplateSetting {
  std::string key;         // as written in websearch.ini ("url", "URL.py"), or the SciTE property
                           // asked for ("websearch.url.py"); "url" for the default
  std::string value;       // the template: quotes around it removed, references expanded
  std::size_t line = 0;    // 1-based line in websearch.ini; 0 for the built-in default
  bool fromScite = false;  // one of SciTE's properties, not websearch.ini
  bool refersToItself = false;  // its references run in a circle or nest too deep
};

// The first `url.<fileExt>=` line (the extension compared without regard to case; none for an
// empty extension), else the first `url=` line, else the built-in default.
[[nodiscard]] TemplateSetting templateFor(std::string_view iniText, std::string_view fileExt);

// The folded text to search for: the command line's selection, unescaped, white space folded.
[[nodiscard]] std::string searchText(std::string_view commandLine);

// What one run tells the user and opens.
struct Outcome {
  ExitCode code = ExitCode::Opened;
  std::vector<std::string> lines;  // in order, unescaped; the last one is the outcome line
  std::string url;                 // what goes to the shell; empty unless code is Opened
};

struct SearchRequest {
  std::string_view text;   // folded, as searchText gives it, or the word at the caret
  bool fromCaret = false;  // text is the word at the caret, not a selection
  const TemplateSetting* setting = nullptr;  // nullptr: the built-in default
  std::string_view iniPath;  // the full path shown in the message about a bad template
  std::size_t maxUrlLength = kMaxUrlLength;  // the longest address the shell may get
};

// Decides the URL and the lines that go before it. Nothing to search, a bad template or one
// that leaves no room for the words within the request's limit opens nothing.
[[nodiscard]] Outcome decide(const SearchRequest& request);

// The texts the user sees, unescaped.
[[nodiscard]] std::string nothingToSearchLine();
[[nodiscard]] std::string wordAtCaretLine(std::string_view word);
[[nodiscard]] std::string cutLine(std::size_t characters);
[[nodiscard]] std::string badTemplateLine(std::string_view iniPath, const TemplateSetting& setting);
[[nodiscard]] std::string selfReferenceLine(const TemplateSetting& setting);
[[nodiscard]] std::string noRoomForWordsLine(std::string_view iniPath,
                                             const TemplateSetting& setting,
                                             std::size_t maxUrlLength);
[[nodiscard]] std::string browserFailedLine(std::string_view systemMessage, std::int64_t code);

}  // namespace companion
