// Commands to SciTE's director window within a time limit, and the lines the user reads.
#include "companion/scite.h"

#include "companion/system.h"
#include "director/channel.h"
#include "director/escapes.h"
#include "director/operations.h"
#include "platform/binding.h"

namespace companion {

namespace {

void toStandardError(std::string_view line) noexcept {
  platform::showErrorMessage(line);
  platform::showErrorMessage("\n");
}

}  // namespace

Scite::Scite(HWND window) : window_(window) {
  if (inReach()) {
    director::pattern = platform::re(director::kReplyPrefixPattern);
  }
}

bool Scite::send(std::string_view command) const {
  if (!inReach()) {
    return false;
  }
  std::string frame = director::Frame(director::hRecv, command);
  COPYDATASTRUCT data = director::FrameData(frame);
  director::received.clear();
  // SciTE answers inside this call, on our receiver window, which this thread serves meanwhile
  // (SMTO_NORMAL); a SciTE that stopped answering fails it at once (SMTO_ABORTIFHUNG).
  DWORD_PTR result = 0;
  return user32::SendMessageTimeoutW(
             window_, WM_COPYDATA, reinterpret_cast<WPARAM>(director::hRecv),
             reinterpret_cast<LPARAM>(&data), SMTO_NORMAL | SMTO_ABORTIFHUNG, kAnswerTimeoutMs,
             &result) != 0;
}

bool Scite::run(std::string_view lua) const {
  return send("extender:dostring " + std::string(lua));
}

std::optional<std::string> Scite::ask(std::string_view key) const {
  if (!send("askproperty:" + std::string(key))) {
    return std::nullopt;
  }
  return director::unescapeReply(director::received);
}

void Scite::say(std::string_view line) const {
  if (!send(director::OutputCommand(director::OutputEscaped(line), true))) {
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
