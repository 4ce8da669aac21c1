// The message-only receiver: a class of its own whose one window extra word points back here.
#include "windowhost/wReceiver.h"

#include <string>
#include <utility>

#include "platform/errors.h"
#include "platform/text.h"
#include "windowhost/bindings.h"

namespace windowhost {

namespace {

// HWND_MESSAGE: the parent that makes a window message-only, out of every enumeration.
[[nodiscard]] HWND messageOnlyParent() noexcept {
  return reinterpret_cast<HWND>(static_cast<INT_PTR>(-3));
}

// The window's extra word that holds its wReceiver.
constexpr int kOwnerSlot = 0;

}  // namespace

wReceiver::wReceiver(std::string_view className, std::string_view title, UINT message,
                     Handler handler)
    : message_(message), handler_(std::move(handler)) {
  const WString wideClass = platform::toUtf16(className);
  const HINSTANCE instance = kernel32::GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  if (user32::GetClassInfoExW(instance, wideClass.c_str(), &windowClass) == 0) {
    windowClass.cbSize = sizeof(WNDCLASSEXW);
    windowClass.lpfnWndProc = procedure;
    windowClass.cbWndExtra = sizeof(LONG_PTR);
    windowClass.hInstance = instance;
    windowClass.lpszClassName = wideClass.c_str();
    if (user32::RegisterClassExW(&windowClass) == 0) {
      throw platform::wError(std::string(className) + " class register failure");
    }
  }
  const WString wideTitle = platform::toUtf16(title);
  hwnd_ = user32::CreateWindowExW(0, wideClass.c_str(), wideTitle.c_str(), 0, 0, 0, 0, 0,
                                  messageOnlyParent(), nullptr, instance, nullptr);
  if (hwnd_ == nullptr) {
    throw platform::wError(std::string(className) + " window creation failed");
  }
  (void)user32::SetWindowLongPtrW(hwnd_, kOwnerSlot, reinterpret_cast<LONG_PTR>(this));
}

wReceiver::~wReceiver() {
  (void)user32::DestroyWindow(hwnd_);
}

LRESULT CALLBACK wReceiver::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // Null until the constructor has stored it: no message of interest comes before.
  auto* self = reinterpret_cast<wReceiver*>(user32::GetWindowLongPtrW(window, kOwnerSlot));
  if (self != nullptr && message == self->message_) {
    self->handler_(wParam, lParam);
    return 0;
  }
  return user32::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace windowhost
