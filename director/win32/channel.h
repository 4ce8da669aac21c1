// The command channel to SciTE's director window and the capture of its replies: the Windows
// transport, whose SendCommand hands the framed command to a director window found just now.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "director/replies.h"
#include "platform/win32/win32.h"

namespace director {

inline constexpr ULONG_PTR kFrameDataTag = 1;

// The receiver window named in every frame; set once at start-up.
extern HWND hRecv;

// ":" + hRecv in signed decimal + ":" + command. Raises RangeError when the frame with its
// terminating NUL would not fit a 32-bit signed count, before anything is copied.
[[nodiscard]] std::string frameOf(HWND receiver, std::string_view command);

// What WM_COPYDATA carries of a frame: its bytes and the NUL after them. The frame must outlive
// the result.
[[nodiscard]] COPYDATASTRUCT frameData(std::string& frame) noexcept;

// The one WM_COPYDATA sender: frames the command and hands it to `deliver` with the window, the
// receiver and the frame, emptying `received` first. SciTE answers inside that call, on the
// receiver window, whose handler (replyHandler) stores the reply in `received`. The result is
// `deliver`'s.
template <typename Deliver>
auto deliverFrame(HWND directorWindow, std::string_view command, Deliver&& deliver) {
  std::string frame = frameOf(hRecv, command);
  COPYDATASTRUCT data = frameData(frame);
  received.clear();
  return std::forward<Deliver>(deliver)(directorWindow, reinterpret_cast<WPARAM>(hRecv),
                                        reinterpret_cast<LPARAM>(&data));
}

// The launcher's send: SendMessageW, which waits as long as SciTE does; the reply stays in
// `received` for the operations. SendCommand once the window is known.
void sendFrame(HWND directorWindow, std::string_view command);

// A send for a caller that takes the reply itself: `deliver` says whether SciTE took the frame.
// The reply as SciTE wrote it (its prefix stays unless `pattern` is set), taken out of `received`
// at once; nothing when SciTE did not take the frame.
template <typename Deliver>
[[nodiscard]] std::optional<std::string> exchangeFrame(HWND directorWindow,
                                                       std::string_view command,
                                                       Deliver&& deliver) {
  if (!deliverFrame(directorWindow, command, std::forward<Deliver>(deliver))) {
    return std::nullopt;
  }
  return std::exchange(received, {});
}

// Where every reply to this process arrives: stores one WM_COPYDATA reply in `received`, for
// the launcher's operations or for exchangeFrame's caller. A null `lpData` counts as an empty
// reply; a `cbData` beyond the 32-bit signed range empties `received` and raises RangeError.
void replyHandler(LPARAM lParam);

// The text a reply's bytes stand for: up to the first NUL, padded with NULs to `cbData`.
[[nodiscard]] std::string replyText(const COPYDATASTRUCT& data);

}  // namespace director
