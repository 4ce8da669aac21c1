// SendCommand and ClearOutput over the channel, and the client's module state on Linux.
#include "director/gtk/client.h"

#include <unistd.h>

#include <optional>
#include <string>
#include <utility>

#include "director/gtk/channel.h"
#include "director/gtk/discovery.h"
#include "director/gtk/reply.h"
#include "director/operations.h"
#include "director/replies.h"
#include "director/version.h"

namespace director::gtk {

namespace {

// The frame SciTE reads around a command: ":<reply path>:" before it, a line end after it; the
// reply path is the channel's own, well within this.
constexpr std::size_t kFramingRoom = 4096;

// The channel to the SciTE that runs this program; empty while none was found.
std::optional<Channel>& channel() {
  static std::optional<Channel> open;
  return open;
}

bool replyCut = false;

}  // namespace

bool startClient(const Places& places, std::chrono::milliseconds limit) {
  interfaceVersion = kInterfaceVersion;
  channel().reset();
  const auto scite = findScite(getpid(), places);
  if (!scite) {
    return false;
  }
  channel().emplace(*scite, limit, places);
  return true;
}

std::optional<std::vector<Reply>> sendAll(std::span<const Request> requests) {
  auto& link = channel();
  if (!link) {
    return std::nullopt;
  }
  return link->sendAll(requests);
}

std::optional<Reply> exchange(std::string_view command, bool expectReply) {
  auto& link = channel();
  if (!link) {
    return std::nullopt;
  }
  if (!expectReply) {
    return link->send(command) ? std::optional(Reply{}) : std::nullopt;
  }
  return link->ask(command);
}

bool lastReplyCut() noexcept {
  return replyCut;
}

std::size_t outputRoom() noexcept {
  return kMaxRequestBytes - kFramingRoom;
}

}  // namespace director::gtk

namespace director {

bool SendCommand(std::string_view command, bool expectReply) {
  auto& link = gtk::channel();
  if (!link) {
    return false;
  }
  received.clear();
  if (!expectReply) {
    return link->send(command);
  }
  const auto reply = link->ask(command);
  gtk::replyCut = reply && reply->cut;
  if (reply) {
    // The launcher's operations read replies in SciTE for Windows' form from `received`.
    storeReply(gtk::addressedReply(reply->raw));
  }
  return true;
}

bool ClearOutput() {
  return SendCommand(kClearOutputCommand, false);
}

}  // namespace director
