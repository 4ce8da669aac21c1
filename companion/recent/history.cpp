// The recent searches' list and its two written forms.
#include "companion/recent/history.h"

#include <algorithm>
#include <charconv>

#include "platform/text.h"

namespace companion {

namespace {

// Between searches in the property: a control byte, which no search holds.
constexpr char kPropertySeparator = '\x1F';
// SciTE's properties and SciTE itself read a number's digits and stop at anything else.
constexpr std::size_t kMaxHistoryCount = kMaxHistoryBytes;

[[nodiscard]] bool isControl(char c) noexcept {
  const auto byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7F;
}

// The searches between `separator`s, each kept as `remembered` keeps the oldest last.
[[nodiscard]] std::vector<std::string> readList(std::string_view text, char separator,
                                                std::size_t size) {
  std::vector<std::string> searches;
  std::size_t bytes = 0;
  while (!text.empty() && searches.size() < size) {
    const std::size_t end = std::min(text.find(separator), text.size());
    std::string_view search = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    if (separator == '\n' && search.ends_with('\r')) {
      search.remove_suffix(1);
    }
    if (!isRememberable(search) ||
        std::find(searches.begin(), searches.end(), search) != searches.end()) {
      continue;
    }
    if (bytes + search.size() > kMaxHistoryBytes) {
      break;
    }
    bytes += search.size();
    searches.emplace_back(search);
  }
  return searches;
}

}  // namespace

bool isRememberable(std::string_view search) {
  return !search.empty() && search.size() <= kMaxSearchBytes &&
         std::none_of(search.begin(), search.end(), isControl) && platform::isUtf8(search);
}

std::string_view withinSearchBytes(std::string_view text) noexcept {
  if (text.size() <= kMaxSearchBytes) {
    return text;
  }
  std::size_t end = kMaxSearchBytes;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
    --end;  // not inside a character
  }
  return text.substr(0, end);
}

std::size_t historySize(std::string_view value) {
  std::size_t size = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), size);
  if (value.empty() || end != value.data() + value.size()) {
    return kDefaultHistorySize;
  }
  return error == std::errc() ? std::min(size, kMaxHistoryCount) : kMaxHistoryCount;
}

std::vector<std::string> remembered(std::vector<std::string> searches, const std::string& search,
                                    std::size_t size) {
  if (!isRememberable(search)) {
    return searches;
  }
  std::vector<std::string> kept;
  std::size_t bytes = 0;
  const auto keep = [&](std::string& next) {
    if (kept.size() < size && bytes + next.size() <= kMaxHistoryBytes) {
      bytes += next.size();
      kept.push_back(std::move(next));
      return true;
    }
    return false;
  };
  std::string first = search;
  if (!keep(first)) {
    return kept;  // remembers nothing
  }
  for (std::string& earlier : searches) {
    if (earlier != search && !keep(earlier)) {
      break;  // the oldest go
    }
  }
  return kept;
}

std::string historyPropertyValue(const std::vector<std::string>& searches) {
  std::string value;
  for (const std::string& search : searches) {
    value += kPropertySeparator;
    value += search;
  }
  return value.empty() ? std::string(1, kPropertySeparator) : value;
}

std::optional<std::vector<std::string>> historyFromProperty(std::string_view value,
                                                            std::size_t size) {
  if (value.empty()) {
    return std::nullopt;
  }
  return readList(value.substr(1), kPropertySeparator, size);
}

std::string historyFileText(const std::vector<std::string>& searches) {
  std::string text;
  for (const std::string& search : searches) {
    text += search;
    text += '\n';
  }
  return text;
}

std::vector<std::string> historyFromFile(std::string_view text, std::size_t size) {
  return readList(text, '\n', size);
}

bool keepsFindStrings(std::string_view saveFind, const std::vector<std::string>& sessionValues) {
  // SciTE reads these with atoi: a leading number, 0 when there is none.
  const auto on = [](std::string_view value) {
    int number = 0;
    const auto first = value.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
      return false;
    }
    value.remove_prefix(first);
    (void)std::from_chars(value.data(), value.data() + value.size(), number);
    return number != 0;
  };
  return on(saveFind) && std::any_of(sessionValues.begin(), sessionValues.end(), on);
}

std::string historyFilePath(std::string_view userHome, EditorKind editor) {
  std::string path(userHome);
  if (editor == EditorKind::windows) {
    if (!path.empty() && !path.ends_with('\\') && !path.ends_with('/')) {
      path += '\\';
    }
    return path + "websearch.history";
  }
  if (!path.empty() && !path.ends_with('/')) {
    path += '/';
  }
  return path + ".websearch.history";
}

}  // namespace companion
