// The channel opened at start-up, its raw replies read for their values here, at its edge.
#include "companion/posix/director_scite.h"

#include <string>

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
  trace_(expectReply ? "ask" : "send");
  const auto reply = director::gtk::exchange(command, expectReply);
  trace_(expectReply ? "answered" : "sent");
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
  trace_("batch of " + std::to_string(commands.size()));
  const auto replies = director::gtk::sendAll(requests);
  trace_("batch answered");
  std::vector<Answer> answers;
  for (const auto& reply : replies.value_or(std::vector<director::gtk::Reply>{})) {
    answers.push_back(answerOf(reply));
  }
  return answers;
}

}  // namespace companion
