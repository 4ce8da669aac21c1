// The process-wide application object of the window host.
#pragma once

#include <bitset>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/win32/win32.h"

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
  // Set by App, which starts the common controls and OLE; HiddenApp starts neither.
  bool mControlsStarted = false;
};

// The layout comctl32's DllGetVersion fills; it is looked up at run time, so its type is ours.
struct DllVersionInfo {
  DWORD cbSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformID;
};

inline constexpr std::size_t kStockFontSlot = 0;
inline constexpr std::size_t kStockEmptyCursorSlot = 26;

// The one application object; set by the first App or HiddenApp call.
inline std::shared_ptr<wApp> wTheApp;  // NOLINT(cppcoreguidelines-avoid-non-const-global-variables)

// Returns the application object, creating it (with the common controls and OLE) on first call.
// Raises wError when HiddenApp made it: that object has neither, and a program that chose
// HiddenApp leaves their slots unbound, so they cannot be started afterwards.
std::shared_ptr<wApp> App();

// The same for a program that shows no control and hosts only hidden windows: on first call
// it creates the object without starting the common controls or OLE, whose libraries take
// long to load. An object App made is returned as it is.
std::shared_ptr<wApp> HiddenApp();

// The object App or HiddenApp made, for the host's own code, which needs no controls; App
// makes it when neither has run yet.
std::shared_ptr<wApp> CurrentApp();

// The screen's vertical dots per inch, asked once.
[[nodiscard]] std::int64_t wAppGetDpi();

}  // namespace windowhost
