// The process-wide application object of the window host.
#pragma once

#include <bitset>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/win32.h"

namespace windowhost {

class wWindow;
class wGdiObject;

class wApp {
public:
  HINSTANCE mInstance{};
  std::unordered_map<HWND, std::shared_ptr<wWindow>> mTopLevelWindowTable;
  // Keeps every window object alive until its WM_NCDESTROY.
  std::unordered_map<HWND, std::shared_ptr<wWindow>> mWindowTable;
  std::unordered_map<HMENU, std::shared_ptr<void>> mMenuBaseTable;
  // Stock drawing objects made on first use: slot 0 the default font, slot 26 the empty cursor.
  std::vector<std::shared_ptr<wGdiObject>> mGDIStockSeq;
  std::unordered_set<std::int32_t> mPropagationSet;
  std::bitset<65536> mMenuIdSet;
  // Live connections per message id over all windows; an id is present only while counted.
  std::unordered_map<std::int32_t, std::int64_t> mMessageCountTable;
  std::uint64_t mExitCode = 0;
  bool mAccelExists = false;
  std::int64_t mDpi = 0;
  double mWinVersion = 0;
  bool mUsingTheme = false;
};

inline constexpr std::size_t kStockFontSlot = 0;
inline constexpr std::size_t kStockEmptyCursorSlot = 26;

// The one application object; set by the first App call.
inline std::shared_ptr<wApp> wTheApp;  // NOLINT(cppcoreguidelines-avoid-non-const-global-variables)

// Returns the application object, creating it (with the common controls and OLE) on first call.
std::shared_ptr<wApp> App();

// The same for a program that shows no control and hosts only hidden windows: on first call
// it creates the object without starting the common controls or OLE, whose libraries take
// long to load. App later returns this object as it is.
std::shared_ptr<wApp> HiddenApp();

// The screen's vertical dots per inch, asked once.
[[nodiscard]] std::int64_t wAppGetDpi();

}  // namespace windowhost
