// The director client's start-up: the hidden receiver window whose WM_COPYDATA messages carry
// SciTE's replies, and the first values of the client's module state.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/binding.h"
#include "windowhost/wApp.h"
#include "windowhost/wFrame.h"
#include "windowhost/wReceiver.h"

namespace director {

extern std::shared_ptr<windowhost::wApp> recvApp;
// Hidden, never shown and never destroyed: it exists only to receive SciTE's replies.
extern std::shared_ptr<windowhost::wFrame> recvFrame;

inline constexpr std::string_view kReceiverTitle = "Velk-SciTE interface";
inline constexpr std::string_view kReceiverClass = "wFrame";
inline constexpr std::uint64_t kReceiverStyle = 0xCF0000;  // overlapped window, not visible
inline constexpr windowhost::wSize kReceiverSize{320, 220};

// The groups the client rests on, in binding order: text conversion, the window host's seven
// groups, the pattern engine, and last its own "user32".
[[nodiscard]] std::vector<const platform::BindingGroup*> clientBindingGroups();

// The same for a client that only sends commands and receives replies, such as the companion:
// the window host's groups for hidden windows instead of all seven, and no pattern engine, which
// platform::re binds at the client's first pattern.
[[nodiscard]] std::vector<const platform::BindingGroup*> receiverBindingGroups();

// The receiver window's class for such a client: a message-only window of its own.
inline constexpr std::string_view kReceiverOnlyClass = "DirectorReceiver";

// Runs once, last of the module initialisations and after the user32 group is bound. Raises
// wError when the receiver window cannot be registered or created.
void initModule();

// initModule for a client bound by receiverBindingGroups: a message-only receiver window
// (windowhost::wReceiver) instead of the hidden frame, without common controls, OLE or anything
// drawn; the caller keeps it for as long as replies may come, and hRecv names it meanwhile.
// Raises wError when the window cannot be made.
[[nodiscard]] std::unique_ptr<windowhost::wReceiver> startReceiverModule();

}  // namespace director
