// Framing, sending and reply capture over WM_COPYDATA.
#include "director/win32/channel.h"

#include <cstdint>
#include <cstring>
#include <limits>

#include "director/operations.h"
#include "director/win32/bindings.h"
#include "director/win32/discovery.h"
#include "platform/errors.h"

namespace director {

HWND hRecv{};

std::string frameOf(HWND receiver, std::string_view command) {
  const std::string address = std::to_string(reinterpret_cast<std::intptr_t>(receiver));
  const std::size_t prefixLength = address.size() + 2;
  // Checked before the copy: cbData counts the frame and its NUL as a 32-bit signed value.
  constexpr auto kMaxCount = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
  if (command.size() >= kMaxCount - prefixLength) {
    throw platform::RangeError("frame length out of the 32-bit range: " +
                               std::to_string(command.size()) + " command bytes");
  }
  std::string frame;
  frame.reserve(prefixLength + command.size());
  frame += ':';
  frame += address;
  frame += ':';
  frame += command;
  return frame;
}

COPYDATASTRUCT frameData(std::string& frame) noexcept {
  COPYDATASTRUCT data{};
  data.dwData = kFrameDataTag;
  data.cbData = static_cast<DWORD>(frame.size() + 1);  // the string's own NUL is counted
  data.lpData = frame.data();
  return data;
}

void sendFrame(HWND directorWindow, std::string_view command) {
  deliverFrame(directorWindow, command, [](HWND window, WPARAM receiver, LPARAM frame) {
    // SciTE answers inside this call; the result says nothing about the command.
    (void)user32::SendMessageW(window, WM_COPYDATA, receiver, frame);
  });
}

bool ClearOutput() {
  // Sends on its own rather than through SendCommand, with the same framing and result.
  const HWND directorWindow = GetHwndDirectorExtension();
  if (directorWindow == nullptr) {
    return false;
  }
  sendFrame(directorWindow, kClearOutputCommand);
  return true;
}

bool SendCommand(std::string_view command, bool /*expectReply*/) {
  const HWND directorWindow = GetHwndDirectorExtension();
  if (directorWindow == nullptr) {
    return false;
  }
  sendFrame(directorWindow, command);
  return true;
}

std::string replyText(const COPYDATASTRUCT& data) {
  const std::size_t count = data.cbData;
  if (data.lpData == nullptr) {
    return {};  // a sender that announces bytes but passes none
  }
  const auto* bytes = static_cast<const char*>(data.lpData);
  const void* nul = std::memchr(bytes, 0, count);
  const std::size_t taken =
      nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - bytes) : count;
  std::string text(count, '\0');
  std::memcpy(text.data(), bytes, taken);
  return text;
}

void replyHandler(LPARAM lParam) {
  const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  if (data == nullptr) {
    received.clear();
    return;
  }
  if (data->cbData > static_cast<DWORD>(std::numeric_limits<std::int32_t>::max())) {
    // Not a reply SciTE can send; no stale text must pass for it.
    received.clear();
    throw platform::RangeError("reply size out of the 32-bit range: " +
                               std::to_string(data->cbData));
  }
  storeReply(replyText(*data));
}

}  // namespace director
