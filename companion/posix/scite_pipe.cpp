// The channel opened at start-up, its raw replies read for their values here, at its edge.
#include "companion/posix/scite_pipe.h"

#include "director/gtk/client.h"
#include "director/gtk/reply.h"

namespace companion {

namespace {

[[nodiscard]] Answer answerOf(const director::gtk::Reply& reply) {
  return {.text = director::gtk::replyValue(reply.raw), .cut = reply.cut};
}

}  // namespace

std::optional<Answer> PipeScite::send(std::string_view command, bool expectReply) const {
  if (!reached_) {
    return std::nullopt;
  }
  const auto reply = director::gtk::exchange(command, expectReply);
  if (!reply) {
    return std::nullopt;
  }
  return answerOf(*reply);
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
  for (const auto& reply :
       director::gtk::sendAll(requests).value_or(std::vector<director::gtk::Reply>{})) {
    answers.push_back(answerOf(reply));
  }
  return answers;
}

}  // namespace companion
