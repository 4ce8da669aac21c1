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

bool PipeScite::lastReplyCut() const noexcept {
  return director::gtk::lastReplyCut();
}

}  // namespace companion
