// SciTE's handling of director commands, as the stand-in performs it.
#include "director_core.h"

#include <charconv>

#include "escapes.h"

namespace standin {

namespace {

constexpr std::string_view kDoString = "dostring ";
constexpr std::size_t kShortBy = 3;

[[nodiscard]] bool startsWith(std::string_view text, std::string_view prefix) noexcept {
  return text.substr(0, prefix.size()) == prefix;
}

// ":<number>:" at the start names the requester's window; returns it and the rest.
[[nodiscard]] std::pair<std::optional<std::int64_t>, std::string_view> splitAddress(
    std::string_view command) {
  if (command.size() < 3 || command.front() != ':') {
    return {std::nullopt, command};
  }
  std::int64_t address = 0;
  const char* first = command.data() + 1;
  const char* last = command.data() + command.size();
  const auto [end, error] = std::from_chars(first, last, address);
  if (error != std::errc() || end == first || end == last || *end != ':') {
    return {std::nullopt, command};
  }
  return {address, command.substr(static_cast<std::size_t>(end - command.data()) + 1)};
}

}  // namespace

DirectorCore::DirectorCore(EditorState& state, const Options& options, Extender* extender,
                           std::function<void(const Reply&)> send)
    : state_(state), options_(options), extender_(extender), send_(std::move(send)) {}

void DirectorCore::handleFrame(std::string_view bytes) {
  bytes = bytes.substr(0, bytes.find('\0'));
  std::optional<std::int64_t> target;
  // Raw CR and LF separate commands; each may name its requester, or keep the one before.
  while (!bytes.empty()) {
    const auto end = bytes.find_first_of("\r\n");
    const std::string_view piece = bytes.substr(0, end);
    bytes = end == std::string_view::npos ? std::string_view() : bytes.substr(end + 1);
    if (piece.empty()) {
      continue;
    }
    const auto [address, command] = splitAddress(piece);
    if (address) {
      target = address;
    }
    perform(unslash(command), target);
  }
}

void DirectorCore::perform(std::string_view action, std::optional<std::int64_t> target) {
  bool answered = false;
  if (startsWith(action, "askproperty:")) {
    answerProperty(target, action.substr(12));
    answered = true;
  } else if (startsWith(action, "property:")) {
    const std::string_view assignment = action.substr(9);
    const auto equals = assignment.find('=');
    if (equals != std::string_view::npos) {
      state_.properties[std::string(assignment.substr(0, equals))] =
          std::string(assignment.substr(equals + 1));
    }
  } else if (startsWith(action, "output:")) {
    state_.output += action.substr(7);
  } else if (startsWith(action, "extender:")) {
    answered = runExtender(action.substr(9), target);
  }
  if (!answered && options_.fault == Fault::replyAll) {
    answer(target, "echo", action);
  }
}

bool DirectorCore::runExtender(std::string_view argument, std::optional<std::int64_t> target) {
  std::optional<std::string> error = "no such extender command";
  if (startsWith(argument, kDoString) && extender_ != nullptr) {
    error = extender_->doString(argument.substr(kDoString.size()));
  }
  if (!error) {
    return false;
  }
  // SciTE writes the failure into the output pane and hands the command back as a macro.
  state_.output += *error + "\n";
  answer(target, "run", argument);
  return true;
}

void DirectorCore::answerProperty(std::optional<std::int64_t> target, std::string_view key) {
  const auto found = state_.properties.find(key);
  const std::string value = found == state_.properties.end() ? std::string() : found->second;
  switch (options_.fault) {
    case Fault::noReply:
      return;
    case Fault::noPrefix:
      if (target) {
        const std::string text = slash(value);
        send_(Reply{*target, text, static_cast<std::uint32_t>(text.size())});
      }
      return;
    default:
      answer(target, "stringinfo", value);
  }
}

void DirectorCore::answer(std::optional<std::int64_t> target, std::string_view kind,
                          std::string_view value) {
  if (!target) {
    return;  // nobody to answer: SciTE would answer its configured director, which is none here
  }
  std::string plain = ":";
  plain += std::to_string(*target);
  plain += ":macro:";
  plain += kind;
  plain += ':';
  plain += value;
  std::string text = slash(plain);
  auto count = text.size();
  if (options_.fault == Fault::embeddedNul) {
    text += std::string("\0after-nul", 10);
    count = text.size();
  } else if (options_.fault == Fault::shortCbData) {
    count = count > kShortBy ? count - kShortBy : 0;
  } else if (options_.replyCountsNul) {
    text += '\0';
    count = text.size();
  }
  send_(Reply{*target, std::move(text), static_cast<std::uint32_t>(count)});
}

}  // namespace standin
