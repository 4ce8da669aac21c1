// Path splitting and the normalising join.
#include "launcher/paths.h"

namespace launcher {

namespace {

constexpr char kSeparator = '\\';

[[nodiscard]] constexpr bool isSeparator(char c) noexcept {
  return c == '\\' || c == '/';
}

[[nodiscard]] bool endsWithSeparator(std::string_view text) noexcept {
  return !text.empty() && isSeparator(text.back());
}

// A trailing separator, or the "." of a trailing "\.", adds nothing to the path it ends.
[[nodiscard]] bool endsWithRedundantChar(std::string_view text) noexcept {
  return endsWithSeparator(text) ||
         (text.size() >= 2 && text.back() == '.' && isSeparator(text[text.size() - 2]));
}

[[nodiscard]] bool isDrive(std::string_view component) noexcept {
  if (component.size() != 2 || component[1] != ':') {
    return false;
  }
  const char letter = component[0];
  return (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
}

[[nodiscard]] std::size_t componentEnd(std::string_view part, std::size_t start) noexcept {
  std::size_t end = start;
  while (end < part.size() && !isSeparator(part[end])) {
    ++end;
  }
  return end;
}

// Builds the joined path part by part. The root ("\", "\\server" or "C:") is kept apart from
// the components so that ".." can never climb out of it.
class PathJoiner {
public:
  void append(std::string_view part) {
    anyPart_ = anyPart_ || !part.empty();
    const bool trailing = endsWithSeparator(part) || (part.empty() && endsWithSeparator(text_));
    trimEnd();
    std::size_t pos = text_.empty() ? appendRoot(part) : 0;
    while (pos < part.size()) {
      if (isSeparator(part[pos])) {
        ++pos;
        continue;
      }
      const std::size_t end = componentEnd(part, pos);
      appendComponent(part.substr(pos, end - pos));
      pos = end;
    }
    trimEnd();
    if (trailing && !text_.empty() && !endsWithSeparator(text_)) {
      text_ += kSeparator;
    }
  }

  [[nodiscard]] std::string take() && {
    if (text_.empty() && anyPart_) {
      return ".";
    }
    return std::move(text_);
  }

private:
  // Drops trailing separators and trailing "\." pairs, never eating into the root.
  void trimEnd() noexcept {
    std::size_t end = text_.size();
    while (end > rootLength_ && endsWithRedundantChar(std::string_view(text_).substr(0, end))) {
      --end;
    }
    text_.resize(end);
  }

  // Reads the root at the start of the path, if the part has one; returns what it consumed.
  std::size_t appendRoot(std::string_view part) {
    if (part.size() >= 3 && isSeparator(part[0]) && isSeparator(part[1]) && !isSeparator(part[2])) {
      // A network path: the server name (or a device prefix such as "." or "?") belongs to the
      // root and is taken as it stands.
      const std::size_t end = componentEnd(part, 2);
      text_ = "\\\\";
      text_.append(part.substr(2, end - 2));
      rootLength_ = text_.size();
      return end;
    }
    if (!part.empty() && isSeparator(part[0])) {
      text_ = kSeparator;
      rootLength_ = 1;
      return 1;
    }
    const std::size_t end = componentEnd(part, 0);
    if (isDrive(part.substr(0, end))) {
      text_ = part.substr(0, end);
      rootLength_ = end;
      return end;
    }
    return 0;
  }

  void appendComponent(std::string_view component) {
    if (component == ".") {
      return;
    }
    if (component == ".." && components_ > 0) {
      removeLastComponent();
      return;
    }
    if (!text_.empty() && !endsWithSeparator(text_)) {
      text_ += kSeparator;
    }
    text_.append(component);
    // A ".." that found nothing to take back stays, and is nothing a later ".." can take back.
    if (component != "..") {
      ++components_;
    }
  }

  void removeLastComponent() {
    const std::size_t separator = text_.find_last_of(kSeparator);
    if (separator == std::string::npos || separator < rootLength_) {
      text_.resize(rootLength_);
    } else {
      text_.resize(separator);
    }
    --components_;
  }

  std::string text_;
  std::size_t rootLength_ = 0;
  std::size_t components_ = 0;
  bool anyPart_ = false;
};

}  // namespace

PathParts splitPath(std::string_view path) {
  const std::size_t last = path.find_last_of("\\/");
  if (last == std::string_view::npos) {
    return {std::string(), std::string(path)};
  }
  const std::size_t headLength = last == 0 ? 1 : last;
  return {std::string(path.substr(0, headLength)), std::string(path.substr(last + 1))};
}

std::string joinPath(std::string_view head, std::string_view tail) {
  PathJoiner joiner;
  joiner.append(head);
  joiner.append(tail);
  return std::move(joiner).take();
}

}  // namespace launcher
