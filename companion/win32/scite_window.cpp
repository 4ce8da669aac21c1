// The director client's one WM_COPYDATA sender, with SendMessageTimeoutW from the companion's own
// binding group.
#include "companion/win32/scite_window.h"

#include "companion/win32/bindings.h"
#include "director/replies.h"
#include "director/win32/channel.h"

namespace companion {

namespace {

constexpr auto kAnswerLimitMs = static_cast<UINT>(director::kAnswerLimit.count());

}  // namespace

std::optional<Answer> WindowScite::send(std::string_view command, bool /*expectReply*/) const {
  if (!inReach()) {
    return std::nullopt;
  }
  const auto reply =
      director::exchangeFrame(window_, command, [](HWND window, WPARAM receiver, LPARAM frame) {
        // SciTE answers inside this call, on our receiver window, which this thread serves
        // meanwhile (SMTO_NORMAL); a SciTE that stopped answering fails it at once
        // (SMTO_ABORTIFHUNG).
        DWORD_PTR result = 0;
        return user32::SendMessageTimeoutW(window, WM_COPYDATA, receiver, frame,
                                           SMTO_NORMAL | SMTO_ABORTIFHUNG, kAnswerLimitMs,
                                           &result) != 0;
      });
  if (!reply) {
    return std::nullopt;
  }
  return Answer{.text = director::replyValue(*reply)};
}

}  // namespace companion
