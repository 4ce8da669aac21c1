// Joining POSIX paths component by component, and cutting one at its last '/'.
#include "launcher/paths.h"

#include <vector>

namespace launcher {

std::string joinPath(std::string_view head, std::string_view tail) {
  if (head.empty() && tail.empty()) {
    return {};
  }
  std::string joined(head);
  if (!head.empty() && !tail.empty()) {
    joined += '/';
  }
  joined += tail;

  const bool absolute = joined.front() == '/';
  std::vector<std::string_view> kept;
  const std::string_view whole(joined);
  std::size_t pos = 0;
  while (pos < whole.size()) {
    std::size_t end = whole.find('/', pos);
    if (end == std::string_view::npos) {
      end = whole.size();
    }
    const std::string_view part = whole.substr(pos, end - pos);
    pos = end + 1;
    if (part.empty() || part == ".") {
      continue;
    }
    if (part == "..") {
      if (!kept.empty() && kept.back() != "..") {
        kept.pop_back();
        continue;
      }
      if (absolute) {
        continue;  // the root's parent is the root itself
      }
    }
    kept.push_back(part);
  }

  std::string result = absolute ? "/" : "";
  for (std::size_t i = 0; i < kept.size(); ++i) {
    if (i != 0) {
      result += '/';
    }
    result += kept[i];
  }
  if (kept.empty()) {
    return absolute ? result : ".";
  }
  if (joined.back() == '/') {
    result += '/';
  }
  return result;
}

std::string folderOf(std::string_view path) {
  const std::size_t separator = path.rfind('/');
  if (separator == std::string_view::npos) {
    return {};
  }
  return std::string(path.substr(0, separator == 0 ? 1 : separator));
}

}  // namespace launcher
