// splitPath and joinPath over any bytes, with the properties that follow from the path rules.
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/checks/check.h"
#include "launcher/paths.h"

namespace fuzz {

namespace {

[[nodiscard]] bool hasSeparator(std::string_view text) {
  return text.find_first_of("\\/") != std::string_view::npos;
}

[[nodiscard]] bool isPlainName(std::string_view text) {
  return !text.empty() && !hasSeparator(text) && text != "." && text != "..";
}

// A drive letter and a colon, alone or before a separator: a root that ".." leaves alone.
[[nodiscard]] bool isDriveRoot(std::string_view path) {
  const bool letter =
      !path.empty() && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  return letter && path.size() >= 2 && path[1] == ':' && (path.size() == 2 || path[2] == '\\');
}

// The components after the root: after "\\server" of a network path, "\" or "C:".
[[nodiscard]] std::vector<std::string_view> componentsAfterRoot(std::string_view path) {
  std::size_t pos = 0;
  if (path.starts_with("\\\\")) {
    pos = path.find('\\', 2);
  } else if (path.starts_with("\\")) {
    pos = 1;
  } else if (isDriveRoot(path)) {
    pos = 2;
  }
  std::vector<std::string_view> components;
  while (pos < path.size()) {
    const std::size_t end = std::min(path.find('\\', pos), path.size());
    if (end > pos) {
      components.push_back(path.substr(pos, end - pos));
    }
    pos = end + 1;
  }
  return components;
}

void checkSplit(std::string_view path) {
  const launcher::PathParts parts = launcher::splitPath(path);
  const std::size_t last = path.find_last_of("\\/");
  if (last == std::string_view::npos) {
    expect(parts.head.empty() && parts.tail == path, "without a separator the tail is the path");
    return;
  }
  expect(!hasSeparator(parts.tail) && path.ends_with(parts.tail),
         "the tail is what follows the last separator");
  const std::string_view wantHead = path.substr(0, last == 0 ? 1 : last);
  expect(parts.head == wantHead,
         "the head is what precedes the last separator, or the separator itself at index 0");
}

void checkJoinShape(std::string_view head, std::string_view tail, const std::string& joined) {
  expect(!joined.empty() || (head.empty() && tail.empty()),
         "a join with a non-empty part is not empty");
  expect(joined.find('/') == std::string::npos, "a join writes only backslashes");
  expect(joined.find("\\\\", 1) == std::string::npos,
         "a join has no run of separators beyond a leading network prefix");
  if (joined == ".") {
    return;
  }
  bool nameSeen = false;
  for (const std::string_view component : componentsAfterRoot(joined)) {
    expect(component != ".", "a join drops \".\" components");
    expect(component != ".." || !nameSeen, "a \"..\" never stays behind a name it could take back");
    nameSeen = nameSeen || component != "..";
  }
}

void checkJoin(std::string_view head, std::string_view tail) {
  const std::string joined = launcher::joinPath(head, tail);
  checkJoinShape(head, tail, joined);
  expect(launcher::joinPath(joined, "") == joined && launcher::joinPath("", joined) == joined,
         "a joined path is already normal");

  // The launcher's own use: a directory and a plain file name.
  for (const std::string_view name : {tail, std::string_view("websearch.exe")}) {
    if (!isPlainName(name)) {
      continue;
    }
    const std::string directory = launcher::joinPath(head, "");
    std::string want;
    if (!directory.empty() && directory != ".") {
      want = directory.ends_with('\\') ? directory : directory + '\\';
    }
    want += name;
    expect(launcher::joinPath(head, name) == want,
           "joining a plain name appends it to the directory with one backslash");
  }
}

}  // namespace

void checkPaths(Bytes input) {
  // The input is the head, a NUL and the tail; the whole of it is also split as one path.
  const std::string_view text = asText(input);
  const std::size_t nul = text.find('\0');
  const std::string_view head = text.substr(0, nul);
  const std::string_view tail =
      nul == std::string_view::npos ? std::string_view{} : text.substr(nul + 1);
  checkSplit(text);
  checkJoin(head, tail);
}

}  // namespace fuzz
