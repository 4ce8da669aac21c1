// What the companion asks and says, the same over every transport.
#include "companion/scite.h"

#include "director/escapes.h"
#include "director/operations.h"
#include "director/replies.h"
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
    if (!send(command.text, command.expectReply)) {
      break;
    }
    if (command.expectReply) {
      answers.push_back({.received = director::received, .cut = lastReplyCut()});
    }
  }
  return answers;
}

bool Scite::run(std::string_view lua) const {
  return send(director::DoStringCommand(lua), false);
}

std::optional<std::string> Scite::ask(std::string_view key) const {
  if (!send(director::AskPropertyCommand(key), true)) {
    return std::nullopt;
  }
  return director::unescapeReply(director::received);
}

void Scite::say(std::string_view line) const {
  if (!send(director::OutputCommand(director::outputEscaped(line), true), false)) {
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
