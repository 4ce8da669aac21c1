// The companion's decisions, free of any system call: which URL a selection leads to, or why none.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace companion {

// The process's exit codes. Nobody reads the companion's streams, so the code is the only trace
// that a run leaves.
enum class ExitCode : int {
  Opened = 0,             // the URL went to the default browser
  Unexpected = 1,         // an error nothing here anticipated, such as running out of memory
  NothingToSearch = 2,    // the selection was empty or white space only
  BadTemplate = 3,        // websearch.ini sets a url= that is no http(s) template with {query}
  OpenFailed = 4,         // the shell could not open the URL
  SystemUnavailable = 5,  // a system library or function could not be bound
};

inline constexpr std::string_view kDefaultTemplate = "https://duckduckgo.com/?q={query}";
inline constexpr std::string_view kQueryPlaceholder = "{query}";

// The text after the program's own name on a raw command line and the one blank or tab after it.
// The name ends at the first blank or tab outside double quotes, the way the C run time reads it.
[[nodiscard]] std::string selectionFromCommandLine(std::string_view commandLine);

// Undoes the escapes of the editor's replies: \a \b \f \n \r \t \v, \\ and three octal digits.
// A backslash that starts none of them stays as it is.
[[nodiscard]] std::string unescapeReply(std::string_view text);

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

// The value of the first url= line of websearch.ini, if there is one.
[[nodiscard]] std::optional<std::string> templateFromIni(std::string_view iniText);

struct UrlChoice {
  ExitCode code = ExitCode::Opened;  // anything else: there is nothing to open
  std::string url;
};

// From the selection as the launcher passed it to the URL to open.
[[nodiscard]] UrlChoice chooseUrl(std::string_view escapedSelection, std::string_view urlTemplate);

}  // namespace companion
