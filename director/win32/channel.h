// The command channel to SciTE's director window and the capture of its replies: the Windows
// transport, whose SendCommand hands the framed command to a director window found just now.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "director/replies.h"
#include "platform/win32.h"

namespace director {

inline constexpr ULONG_PTR kFrameDataTag = 1;

// The receiver window named in every frame; set once at start-up.
extern HWND hRecv;

// ":" + hRecv in signed decimal + ":" + command. Raises RangeError when the frame with its
// terminating NUL would not fit a 32-bit signed count, before anything is copied.
[[nodiscard]] std::string Frame(HWND receiver, std::string_view command);

// What WM_COPYDATA carries of a frame: its bytes and the NUL after them. The frame must outlive
// the result.
[[nodiscard]] COPYDATASTRUCT FrameData(std::string& frame) noexcept;

// Frames and sends to the given window, emptying `received` first: SendCommand once the window
// is known.
void SendFrame(HWND directorWindow, std::string_view command);

// Stores one WM_COPYDATA reply in `received`. A null `lpData` counts as an empty reply; a
// `cbData` beyond the 32-bit signed range empties `received` and raises RangeError.
void ReplyHandler(LPARAM lParam);

// The text a reply's bytes stand for: up to the first NUL, padded with NULs to `cbData`.
[[nodiscard]] std::string ReplyText(const COPYDATASTRUCT& data);

}  // namespace director
