// What the companion asks and says, the same over every transport.
#include "companion/scite/scite.h"

#include <utility>

#include "director/escapes.h"
#include "director/operations.h"
#include "platform/fatal.h"

namespace companion {

namespace {

void toStandardError(std::string_view line) noexcept {
  platform::showErrorMessage(line);
  platform::showErrorMessage("\n");
}

}  // namespace

std::vector<Answer> Scite::sendAll(const std::vector<Command>& commands) const {
  std::vector<Answer> answers;
  for (const Command& command : commands) {
    auto answer = send(command.text, command.expectReply);
    if (!answer) {
      break;
    }
    if (command.expectReply) {
      answers.push_back(std::move(*answer));
    }
  }
  return answers;
}

bool Scite::run(std::string_view lua) const {
  return send(director::doStringCommand(lua), false).has_value();
}

std::optional<std::string> Scite::ask(std::string_view key) const {
  auto answer = send(director::askPropertyCommand(key), true);
  if (!answer) {
    return std::nullopt;
  }
  return std::move(answer->text);
}

void Scite::say(std::string_view line) const {
  if (!send(director::outputCommand(director::outputEscaped(line), true), false)) {
    toStandardError(line);
  }
}

void Scite::sayLast(std::string_view line) const noexcept {
  try {
    say(line);
    return;
  } catch (...) {  // no memory for the frame
  }
  toStandardError(line);
}

}  // namespace companion
