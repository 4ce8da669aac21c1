// The frame kind: a top-level window with its three fixed handlers.
#include "windowhost/wFrame.h"

#include "windowhost/bindings.h"

namespace windowhost {

void init(const std::shared_ptr<wFrame>& self, const std::shared_ptr<wWindow>& parent,
          std::string_view title, wPoint pos, wSize size, std::uint64_t style,
          std::string_view className) {
  const COLORREF background = user32::GetSysColor(COLOR_APPWORKSPACE);
  initVerbosely(self, nullptr, 0, title, pos, size, style | static_cast<DWORD>(WS_CLIPCHILDREN),
                background, kInheritColor, className, parent, true);
  hardConnect(*self, kSizeNotification, wFrame_OnSize);
  hardConnect(*self, WM_SETFOCUS, wFrame_OnSetFocus);
  hardConnect(*self, WM_MENUSELECT, wFrame_OnMenuHighlight);
}

void wFrame_OnSize(wEvent& event) {
  const wWindow& self = *event.mWindow;
  // A lone child fills the frame; several are left to a layout.
  if (self.mChildren.size() == 1) {
    RECT client{};
    user32::GetClientRect(self.mHwnd, &client);
    user32::SetWindowPos(self.mChildren.front()->mHwnd, nullptr, client.left, client.top,
                         client.right - client.left, client.bottom - client.top, kPlainPlacement);
  }
  event.mSkip = true;
}

void wFrame_OnSetFocus(wEvent& event) {
  // Gives the focus back to the child that had it when the frame lost it.
  if (const auto saved = event.mWindow->mSaveFocus.lock(); saved && saved->mHwnd != nullptr) {
    user32::SetFocus(saved->mHwnd);
    return;
  }
  event.mSkip = true;
}

void wFrame_OnMenuHighlight(wEvent& event) {
  // Menu help texts go to a status bar, which this program never has.
  event.mSkip = true;
}

}  // namespace windowhost
