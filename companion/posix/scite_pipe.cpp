// The director client's SendCommand, which on Linux goes over the channel opened at start-up.
#include "companion/posix/scite_pipe.h"

#include "director/gtk/client.h"
#include "director/operations.h"
#include "director/replies.h"

namespace companion {

PipeScite::PipeScite(bool reached) : reached_(reached) {
  if (reached_) {
    director::pattern = platform::re(director::kReplyPrefixPattern);
  }
}

bool PipeScite::send(std::string_view command, bool expectReply) const {
  return reached_ && director::SendCommand(command, expectReply);
}

std::vector<Answer> PipeScite::sendAll(const std::vector<Command>& commands) const {
  if (!reached_) {
    return {};
  }
  std::vector<director::gtk::Request> requests;
  requests.reserve(commands.size());
  for (const Command& command : commands) {
    requests.push_back({.command = command.text, .expectReply = command.expectReply});
  }
  std::vector<Answer> answers;
  for (auto& reply :
       director::gtk::sendAll(requests).value_or(std::vector<director::gtk::Reply>{})) {
    answers.push_back({.received = std::move(reply.received), .cut = reply.cut});
  }
  return answers;
}

bool PipeScite::lastReplyCut() const noexcept {
  return director::gtk::lastReplyCut();
}

}  // namespace companion
