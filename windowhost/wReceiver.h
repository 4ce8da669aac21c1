// A message-only window that hands one kind of message to a handler, for a program that only
// receives: it draws nothing and is never shown, so it needs no brush, cursor, font or screen.
// A window of the host's own frame class sets all of those up, which under Wine took a tenth of
// a second of a program's start.
#pragma once

#include <functional>
#include <string_view>

#include "platform/win32/win32.h"

namespace windowhost {

class wReceiver {
public:
  using Handler = std::function<void(WPARAM wParam, LPARAM lParam)>;

  // Registers the class `className` (its first window in this process) and creates the window;
  // raises wError when either fails. `handler` gets every `message` the window receives, which
  // it answers with 0; it must not throw.
  wReceiver(std::string_view className, std::string_view title, UINT message, Handler handler);
  ~wReceiver();
  wReceiver(const wReceiver&) = delete;
  wReceiver& operator=(const wReceiver&) = delete;
  wReceiver(wReceiver&&) = delete;
  wReceiver& operator=(wReceiver&&) = delete;

  [[nodiscard]] HWND hwnd() const noexcept { return hwnd_; }

private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  UINT message_;
  Handler handler_;
  HWND hwnd_{};
};

}  // namespace windowhost
