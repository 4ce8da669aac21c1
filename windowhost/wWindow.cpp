// The window base: reset, class registration, creation and the host's own handlers.
#include "windowhost/wWindow.h"

#include <algorithm>
#include <utility>

#include "platform/errors.h"
#include "platform/win32/winstr.h"
#include "windowhost/bindings.h"
#include "windowhost/wApp.h"

namespace windowhost {

namespace {

constexpr std::size_t kTableCapacity = 64;
constexpr std::size_t kStockSlots = kStockEmptyCursorSlot + 1;
constexpr UINT kClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
constexpr ULONG_PTR kArrowCursorId = 32512;  // IDC_ARROW, as a number for the wide LoadCursorW
constexpr std::uint64_t kLowWord32 = 0xFFFFFFFF;
constexpr std::uint64_t kExtendedStyleMask = 0x0FFFFFFF;
constexpr auto kVisible = static_cast<DWORD>(WS_VISIBLE);
constexpr auto kClipChildren = static_cast<DWORD>(WS_CLIPCHILDREN);
constexpr DWORD kChildStyle = static_cast<DWORD>(WS_CHILD) | kVisible;
constexpr DWORD kTopLevelKeep = ~(kVisible | kClipChildren);
constexpr auto kToolWindow = static_cast<DWORD>(WS_EX_TOOLWINDOW);
constexpr UINT kFontDescriptionSize = 504;  // NONCLIENTMETRICSW with the padded border
constexpr LONG kNormalWeight = 400;
constexpr LRESULT kHitClient = HTCLIENT;
constexpr COLORREF kDefaultBackground = 0xFFFFFF;
constexpr COLORREF kDefaultForeground = 0;

static_assert(sizeof(WNDCLASSEXW) == 80);
static_assert(sizeof(NONCLIENTMETRICSW) == kFontDescriptionSize);

[[nodiscard]] LPCWSTR systemResource(ULONG_PTR id) noexcept {
  return reinterpret_cast<LPCWSTR>(id);
}

// The message font with a normal weight and no italic, underline or strike-out; height,
// family, character set and face name are kept.
LOGFONTW plainMessageFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = kFontDescriptionSize;
  LOGFONTW source{};
  if (user32::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, kFontDescriptionSize, &metrics, 0)) {
    source = metrics.lfMessageFont;
  } else {
    gdi32::GetObjectW(gdi32::GetStockObject(DEFAULT_GUI_FONT), sizeof(LOGFONTW), &source);
  }
  LOGFONTW font{};
  font.lfHeight = source.lfHeight;
  font.lfWeight = kNormalWeight;
  font.lfCharSet = source.lfCharSet;
  font.lfPitchAndFamily = source.lfPitchAndFamily;
  std::copy(std::begin(source.lfFaceName), std::end(source.lfFaceName),
            std::begin(font.lfFaceName));
  return font;
}

std::shared_ptr<wFont> defaultFont(wApp& app) {
  auto& stock = app.mGDIStockSeq;
  if (stock.empty()) {
    stock.resize(1);
  }
  if (!stock[kStockFontSlot]) {
    stock[kStockFontSlot] = Font(plainMessageFont());
  }
  return std::static_pointer_cast<wFont>(stock[kStockFontSlot]);
}

// Where a parent's children start: inside its margins.
wPoint clientAreaOrigin(const wWindow& parent) {
  return {parent.mMargin.left, parent.mMargin.top};
}

std::shared_ptr<wWindow> knownWindow(HWND hwnd) {
  if (hwnd == nullptr || !wTheApp) {
    return nullptr;
  }
  const auto it = wTheApp->mWindowTable.find(hwnd);
  return it == wTheApp->mWindowTable.end() ? nullptr : it->second;
}

// A control's own messages reach its parent; hand them to the control's handlers.
void forwardToControl(wEvent& event, HWND control) {
  if (control == event.mWindow->mHwnd) {
    return;
  }
  if (const auto target = knownWindow(control)) {
    LRESULT result = 0;
    if (processMessage(*target, event.mMsg, event.mWparam, event.mLparam, result, control)) {
      event.mResult = result;
    }
  }
}

void registerWindowClass(const wWindow& self, const std::string& className,
                         const WString& wideClassName) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(WNDCLASSEXW);
  windowClass.style = kClassStyle;
  windowClass.lpfnWndProc = wWndProc;
  windowClass.hInstance = CurrentApp()->mInstance;
  windowClass.hCursor = user32::LoadCursorW(nullptr, systemResource(kArrowCursorId));
  windowClass.hbrBackground = self.mBackgroundBrush->handle();
  windowClass.lpszClassName = wideClassName.c_str();
  if (user32::RegisterClassExW(&windowClass) == 0) {
    throw platform::wError(className + " class register failure");
  }
}

void connectSystemHandlers(wWindow& self, bool registerClass) {
  systemConnect(self, WM_MOUSEMOVE, wWindow_DoMouseMove);
  systemConnect(self, WM_MOUSELEAVE, wWindow_DoMouseLeave);
  systemConnect(self, WM_SIZE, wWindow_DoSize);
  systemConnect(self, WM_DESTROY, wWindow_DoDestroy);
  systemConnect(self, WM_NCDESTROY, wWindow_DoNcDestroy);
  systemConnect(self, WM_GETMINMAXINFO, wWindow_DoGetMinMaxInfo);
  if (registerClass) {
    systemConnect(self, WM_VSCROLL, wWindow_DoScroll);
    systemConnect(self, WM_HSCROLL, wWindow_DoScroll);
  }
  systemConnect(self, WM_COMMAND, wWindow_OnCommand);
  systemConnect(self, WM_NOTIFY, wWindow_OnNotify);
  systemConnect(self, WM_CLOSE, wWindow_OnClose);
  systemConnect(self, WM_CTLCOLORBTN, wWindow_OnCtlColor);
  systemConnect(self, WM_CTLCOLOREDIT, wWindow_OnCtlColor);
  systemConnect(self, WM_CTLCOLORSTATIC, wWindow_OnCtlColor);
  systemConnect(self, WM_CTLCOLORLISTBOX, wWindow_OnCtlColor);
  systemConnect(self, WM_SETCURSOR, wWindow_OnSetCursor);
  systemConnect(self, WM_MENUCOMMAND, wWindow_OnMenuCommand);
  systemConnect(self, WM_MENURBUTTONUP, wWindow_OnMenuCommand);
}

}  // namespace

void initBase(wWindow& self) {
  self.mLeft = std::make_shared<wLayoutVariable>();
  self.mTop = std::make_shared<wLayoutVariable>();
  self.mWidth = std::make_shared<wLayoutVariable>();
  self.mHeight = std::make_shared<wLayoutVariable>();
  // Through the removal path, so that a reused object leaves no stale counts behind.
  dropAllConnections(self);
  self.mConnectionTable.reserve(kTableCapacity);
  self.mSystemConnectionTable.reserve(kTableCapacity);
  self.mChildren.clear();
  self.mMaxSize = {kDefault, kDefault};
  self.mMinSize = {kDefault, kDefault};

  auto& stock = CurrentApp()->mGDIStockSeq;
  if (stock.size() < kStockSlots) {
    stock.resize(kStockSlots);
  }
  if (!stock[kStockEmptyCursorSlot]) {
    stock[kStockEmptyCursorSlot] = EmptyCursor();
  }
  self.mCursor = std::static_pointer_cast<wCursor>(stock[kStockEmptyCursorSlot]);
}

std::string unusedClassName(std::string_view base) {
  const HINSTANCE instance = CurrentApp()->mInstance;
  for (std::uint64_t number = 1;; ++number) {
    std::string candidate(base);
    candidate += std::to_string(number);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(WNDCLASSEXW);
    if (!user32::GetClassInfoExW(instance, platform::wideFromUtf8(candidate).c_str(), &existing)) {
      return candidate;
    }
  }
}

void initVerbosely(const std::shared_ptr<wWindow>& self, const std::shared_ptr<wWindow>& parent,
                   std::uint16_t id, std::string_view text, wPoint pos, wSize size,
                   std::uint64_t style, COLORREF backgroundColor, COLORREF foregroundColor,
                   std::string_view className, const std::shared_ptr<wWindow>& owner,
                   bool registerClass) {
  wApp& app = *CurrentApp();
  initBase(*self);
  self->mParent = parent;

  if (backgroundColor == kInheritColor) {
    backgroundColor = parent ? parent->mBackgroundColor : kDefaultBackground;
  }
  if (foregroundColor == kInheritColor) {
    foregroundColor = parent ? parent->mForegroundColor : kDefaultForeground;
  }
  self->mBackgroundBrush = Brush(backgroundColor);
  self->mBackgroundColor = backgroundColor;
  self->mForegroundColor = foregroundColor;

  std::string windowClass(className);
  if (registerClass) {
    windowClass = unusedClassName(windowClass);
  }
  const WString wideClass = platform::wideFromUtf8(windowClass);
  if (registerClass) {
    registerWindowClass(*self, windowClass, wideClass);
  }

  const auto exStyle = static_cast<DWORD>((style >> 32) & kExtendedStyleMask);
  auto winStyle = static_cast<DWORD>(style & kLowWord32);
  HWND parentHwnd{};
  if (parent) {
    winStyle |= kChildStyle;
    parentHwnd = parent->mHwnd;
    const wPoint origin = clientAreaOrigin(*parent);
    pos.x = (pos.x == kDefault ? 0 : pos.x) + origin.x;
    pos.y = (pos.y == kDefault ? 0 : pos.y) + origin.y;
  } else {
    // The default marker goes through unchanged: it is CW_USEDEFAULT.
    winStyle = (winStyle & kTopLevelKeep) | kClipChildren;
  }
  if ((style & kStyleInvisible) != 0) {
    winStyle &= ~kVisible;
  }
  // Checked before anything else is created, so a bad coordinate leaves no window behind.
  const int x = platform::checkedInt32(pos.x, "window x");
  const int y = platform::checkedInt32(pos.y, "window y");
  const int width = platform::checkedInt32(size.width == kDefault ? 0 : size.width, "window width");
  const int height =
      platform::checkedInt32(size.height == kDefault ? 0 : size.height, "window height");

  if (!parent) {
    if (owner) {
      parentHwnd = owner->mHwnd;
    } else if ((style & kStyleHiddenOwner) != 0) {
      self->mDummyParent = user32::CreateWindowExW(kToolWindow, wideClass.c_str(), nullptr, 0, 0, 0,
                                                   0, 0, nullptr, nullptr, app.mInstance, nullptr);
      parentHwnd = self->mDummyParent;
    }
  }

  const WString wideText = platform::wideFromUtf8(text);
  self->mHwnd = user32::CreateWindowExW(
      exStyle, wideClass.c_str(), wideText.c_str(), winStyle, x, y, width, height, parentHwnd,
      reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), app.mInstance, self.get());
  if (self->mHwnd == nullptr) {
    throw platform::wError(windowClass + " window creation failed");
  }
  self->trigger();
  app.mWindowTable[self->mHwnd] = self;

  std::shared_ptr<wFont> font;
  if (parent) {
    parent->mChildren.push_back(self);
    font = parent->mFont;
  } else {
    app.mTopLevelWindowTable[self->mHwnd] = self;
    font = defaultFont(app);
  }
  setFont(*self, font);

  wSize outer = size;
  if (outer.width == kDefault || outer.height == kDefault) {
    const wSize kindSize = self->defaultSize();
    outer.width = outer.width == kDefault ? kindSize.width : outer.width;
    outer.height = outer.height == kDefault ? kindSize.height : outer.height;
    if (outer.width == kDefault || outer.height == kDefault) {
      RECT rect{};
      user32::GetWindowRect(self->mHwnd, &rect);
      outer.width = outer.width == kDefault ? rect.right - rect.left : outer.width;
      outer.height = outer.height == kDefault ? rect.bottom - rect.top : outer.height;
    }
  }
  setWindowRect(*self, {0, 0}, outer, SWP_NOMOVE);
  user32::UpdateWindow(self->mHwnd);
  connectSystemHandlers(*self, registerClass);
}

void setFont(wWindow& self, const std::shared_ptr<wFont>& font) {
  self.mFont = font;
  const HFONT handle = font ? font->handle() : nullptr;
  user32::SendMessageW(self.mHwnd, WM_SETFONT, reinterpret_cast<WPARAM>(handle), 1);
}

void setWindowRect(wWindow& self, wPoint pos, wSize size, UINT flags) {
  user32::SetWindowPos(
      self.mHwnd, nullptr, platform::checkedInt32(pos.x, "window x"),
      platform::checkedInt32(pos.y, "window y"), platform::checkedInt32(size.width, "window width"),
      platform::checkedInt32(size.height, "window height"), flags | kPlainPlacement);
}

void wWindow_DoMouseMove(wEvent& event) {
  wWindow& self = *event.mWindow;
  if (self.mMouseInWindow) {
    return;
  }
  self.mMouseInWindow = true;
  // Asks for the WM_MOUSELEAVE that ends the state again.
  TRACKMOUSEEVENT track{};
  track.cbSize = sizeof(TRACKMOUSEEVENT);
  track.dwFlags = TME_LEAVE;
  track.hwndTrack = self.mHwnd;
  user32::TrackMouseEvent(&track);
}

void wWindow_DoMouseLeave(wEvent& event) {
  event.mWindow->mMouseInWindow = false;
}

void wWindow_DoSize(wEvent& event) {
  wWindow& self = *event.mWindow;
  LRESULT result = 0;
  processMessage(self, kSizeNotification, event.mWparam, event.mLparam, result, self.mHwnd);
}

void wWindow_DoDestroy(wEvent& event) {
  wWindow& self = *event.mWindow;
  LRESULT result = 0;
  processMessage(self, kDestroyNotification, 0, 0, result, self.mHwnd);
  if (!self.mParent.lock()) {
    // Tells a message loop, if any, that a top-level window is gone.
    user32::PostMessageW(nullptr, kTopLevelDestroyedMessage, 0,
                         reinterpret_cast<LPARAM>(self.mHwnd));
  }
}

void wWindow_DoNcDestroy(wEvent& event) {
  const std::shared_ptr<wWindow> self = event.mWindow;
  if (self->mDummyParent != nullptr) {
    user32::DestroyWindow(std::exchange(self->mDummyParent, nullptr));
  }
  if (self->mTipHwnd != nullptr) {
    user32::DestroyWindow(std::exchange(self->mTipHwnd, nullptr));
  }
  self->release();
  dropAllConnections(*self);
  wApp& app = *CurrentApp();
  app.mWindowTable.erase(self->mHwnd);
  app.mTopLevelWindowTable.erase(self->mHwnd);
  if (const auto parent = self->mParent.lock()) {
    std::erase(parent->mChildren, self);
  }
}

void wWindow_DoGetMinMaxInfo(wEvent& event) {
  const wWindow& self = *event.mWindow;
  auto* info = reinterpret_cast<MINMAXINFO*>(event.mLparam);
  if (info == nullptr) {
    return;
  }
  if (self.mMinSize.width != kDefault) {
    info->ptMinTrackSize.x = platform::checkedInt32(self.mMinSize.width, "minimum width");
  }
  if (self.mMinSize.height != kDefault) {
    info->ptMinTrackSize.y = platform::checkedInt32(self.mMinSize.height, "minimum height");
  }
  if (self.mMaxSize.width != kDefault) {
    info->ptMaxTrackSize.x = platform::checkedInt32(self.mMaxSize.width, "maximum width");
  }
  if (self.mMaxSize.height != kDefault) {
    info->ptMaxTrackSize.y = platform::checkedInt32(self.mMaxSize.height, "maximum height");
  }
}

void wWindow_DoScroll(wEvent& event) {
  forwardToControl(event, reinterpret_cast<HWND>(event.mLparam));
}

void wWindow_OnCommand(wEvent& event) {
  forwardToControl(event, reinterpret_cast<HWND>(event.mLparam));
}

void wWindow_OnNotify(wEvent& event) {
  if (const auto* header = reinterpret_cast<const NMHDR*>(event.mLparam)) {
    forwardToControl(event, header->hwndFrom);
  }
}

void wWindow_OnClose(wEvent& /*event*/) {
  // Closing is the default handling's job (it destroys the window); a user handler that
  // processes WM_CLOSE keeps the window.
}

void wWindow_OnCtlColor(wEvent& event) {
  const auto control = knownWindow(reinterpret_cast<HWND>(event.mLparam));
  const auto dc = reinterpret_cast<HDC>(event.mWparam);
  if (!control || dc == nullptr) {
    return;
  }
  gdi32::SetTextColor(dc, control->mForegroundColor);
  gdi32::SetBkColor(dc, control->mBackgroundColor);
  if (control->mBackgroundBrush) {
    event.mResult = reinterpret_cast<LRESULT>(control->mBackgroundBrush->handle());
  }
}

void wWindow_OnSetCursor(wEvent& event) {
  const wWindow& self = *event.mWindow;
  if ((event.mLparam & 0xFFFF) != kHitClient) {
    return;
  }
  const auto& cursor = self.mOverrideCursor ? self.mOverrideCursor : self.mCursor;
  if (cursor && cursor->handle() != nullptr) {
    user32::SetCursor(cursor->handle());
  }
}

void wWindow_OnMenuCommand(wEvent& /*event*/) {
  // Menus are a facility this program does not build; the connection keeps the table complete.
}

}  // namespace windowhost
