// The window base: its fields, its creation path and the host's own handlers.
//
// The path this program lives on: App() once, one hidden wFrame created through initVerbosely,
// one connection for WM_COPYDATA, and wWndProc -> processMessage -> the connected handler (the
// director's reply handler), with errorHandler for anything it throws. The other members
// (layout variables, menus, colours, fonts, cursors, scrolling, mouse tracking) and most of the
// bound functions serve the framework's other window kinds and are kept for completeness.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/win32.h"
#include "windowhost/wEvent.h"
#include "windowhost/wGdiObject.h"

namespace windowhost {

// One unknown of the constraint layout.
struct wLayoutVariable {
  double value = 0;
};

// The layout base of every window: the four unknowns a constraint layout solves for.
class wResizable {
public:
  virtual ~wResizable() = default;

  std::shared_ptr<wLayoutVariable> mLeft;
  std::shared_ptr<wLayoutVariable> mTop;
  std::shared_ptr<wLayoutVariable> mWidth;
  std::shared_ptr<wLayoutVariable> mHeight;
};

struct wMargin {
  std::int64_t left = 0;
  std::int64_t top = 0;
  std::int64_t right = 0;
  std::int64_t bottom = 0;
};

class wWindow;

// Consulted by the window procedure for messages no handler processed; true stops there.
using wHookProc = std::function<bool(wWindow&, UINT, WPARAM, LPARAM)>;

// A colour argument that asks for the parent's colour, or the default without a parent.
inline constexpr COLORREF kInheritColor = 0xFFFFFFFF;
// Moves and sizes a window without touching its place in the z-order or its activation.
inline constexpr UINT kPlainPlacement = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER;

// Style bits above the Win32 style: 32..59 the extended style, 60 a hidden owner window, 61 no
// WS_VISIBLE whatever the low bits say.
inline constexpr std::uint64_t kStyleHiddenOwner = std::uint64_t{1} << 60;
inline constexpr std::uint64_t kStyleInvisible = std::uint64_t{1} << 61;

class wWindow : public wResizable, public std::enable_shared_from_this<wWindow> {
public:
  HWND mHwnd{};
  // Back-references are weak: a child never keeps its parent alive.
  std::weak_ptr<wWindow> mParent;
  std::vector<std::shared_ptr<wWindow>> mChildren;
  std::int64_t mData = 0;
  wConnectionTable mSystemConnectionTable;
  wConnectionTable mConnectionTable;
  wMargin mMargin;
  std::shared_ptr<wWindow> mStatusBar;
  std::shared_ptr<wWindow> mToolBar;
  std::shared_ptr<wWindow> mRebar;
  std::shared_ptr<wFont> mFont;
  COLORREF mBackgroundColor = 0;
  COLORREF mForegroundColor = 0;
  std::shared_ptr<wBrush> mBackgroundBrush;
  std::shared_ptr<wCursor> mCursor;
  std::shared_ptr<wCursor> mOverrideCursor;
  std::shared_ptr<void> mAcceleratorTable;
  std::weak_ptr<wWindow> mSaveFocus;
  bool mFocusable = false;
  bool mMouseInWindow = false;
  wSize mMaxSize{kDefault, kDefault};
  wSize mMinSize{kDefault, kDefault};
  HWND mDummyParent{};
  HWND mTipHwnd{};
  std::shared_ptr<void> mSizingInfo;
  std::shared_ptr<void> mDraggableInfo;
  std::shared_ptr<void> mDropTarget;
  wHookProc mHookProc;

  // Per-kind hooks: right after the Win32 window exists, and at its end.
  virtual void trigger() {}
  virtual void release() {}
  // The size a kind takes when a width or height is not given.
  [[nodiscard]] virtual wSize defaultSize() const { return {kDefault, kDefault}; }
};

// Resets a window object before creation.
void initBase(wWindow& self);

// A window-class name not yet registered in this process: base followed by 1, 2, 3, ...
[[nodiscard]] std::string unusedClassName(std::string_view base);

// The creation path shared by every window kind. Raises wError, wBrushError, wFontError and
// platform::RangeError.
void initVerbosely(const std::shared_ptr<wWindow>& self, const std::shared_ptr<wWindow>& parent,
                   std::uint16_t id, std::string_view text, wPoint pos, wSize size,
                   std::uint64_t style, COLORREF backgroundColor, COLORREF foregroundColor,
                   std::string_view className, const std::shared_ptr<wWindow>& owner,
                   bool registerClass);

void setFont(wWindow& self, const std::shared_ptr<wFont>& font);
// Calls SetWindowPos without z-order or activation changes, so the size is the outer size.
void setWindowRect(wWindow& self, wPoint pos, wSize size, UINT flags);

// The host's own handlers, connected by initVerbosely.
void wWindow_DoMouseMove(wEvent& event);
void wWindow_DoMouseLeave(wEvent& event);
void wWindow_DoSize(wEvent& event);
void wWindow_DoDestroy(wEvent& event);
void wWindow_DoNcDestroy(wEvent& event);
void wWindow_DoGetMinMaxInfo(wEvent& event);
void wWindow_DoScroll(wEvent& event);
void wWindow_OnCommand(wEvent& event);
void wWindow_OnNotify(wEvent& event);
void wWindow_OnClose(wEvent& event);
void wWindow_OnCtlColor(wEvent& event);
void wWindow_OnSetCursor(wEvent& event);
void wWindow_OnMenuCommand(wEvent& event);

}  // namespace windowhost
