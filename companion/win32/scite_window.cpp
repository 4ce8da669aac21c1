// WM_COPYDATA frames with SendMessageTimeoutW, from the companion's own binding group.
#include "companion/win32/scite_window.h"

#include "companion/win32/bindings.h"
#include "director/operations.h"
#include "director/win32/channel.h"

namespace companion {

WindowScite::WindowScite(HWND window) : window_(window) {
  if (inReach()) {
    director::pattern = platform::re(director::kReplyPrefixPattern);
  }
}

bool WindowScite::send(std::string_view command, bool /*expectReply*/) const {
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

}  // namespace companion
