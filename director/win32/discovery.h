// Finding SciTE's director window: the enumeration of parentless top-level windows with its
// filters, the foreground and process rules, and two small look-ups offered to callers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/win32/win32.h"

namespace director {

// One enumerated window. `className` holds what the system calls the window's class.
struct EnumWnd {
  HWND hwnd{};
  WString className;
  WString title;
  std::int64_t pid = 0;  // the 32-bit process id, zero-extended
  std::int64_t tid = 0;  // the 32-bit thread id, sign-extended
};

// Enumeration state, shared by the callback and its callers; not reentrant.
extern std::vector<EnumWnd> sEnumWnd;
extern WString classfilter;  // empty: any class
extern WString titlefilter;  // empty: any title
// When set, the director window is found even while SciTE is not the foreground window.
extern bool debug;

inline constexpr std::string_view kSciTEWindowClass = "SciTEWindow";
inline constexpr std::string_view kDirectorWindowClass = "DirectorExtension";
inline constexpr int kClassNameCapacity = 4096;

// SciTE's director window, or null when SciTE is out of reach.
[[nodiscard]] HWND GetHwndDirectorExtension();

// A window that may be SciTE's director window and the id of its process.
struct DirectorCandidate {
  HWND hwnd{};
  std::int64_t pid = 0;
};

// The rules GetHwndDirectorExtension picks by, for any way of listing the windows: nothing unless
// SciTE's main window (the first of its class) is in front or `debug` is set; then the one
// parentless top-level window of the director's class, or among several the first, in Z order,
// of the main window's process; nothing when none is. `candidates` lists those windows in Z
// order, and is asked only when SciTE is in front.
[[nodiscard]] HWND pickDirectorWindow(
    const std::function<std::vector<DirectorCandidate>()>& candidates);

// Lists the parentless top-level windows whose class and title equal the given ones exactly
// (an empty filter accepts any) into sEnumWnd; returns how many there are.
std::size_t GetEnumWindows(std::string_view className = {}, std::string_view title = {});

// The enumeration callback; always goes on.
BOOL CALLBACK my_WndEnumProc(HWND window, LPARAM unused);  // NOLINT(readability-identifier-naming)

// FindWindowW with UTF-8 arguments; an empty argument matches any.
[[nodiscard]] HWND MyFindWindow(std::string_view className = {}, std::string_view windowName = {});

// (process id, thread id) of the window; (0, 0) for a window the system does not know.
[[nodiscard]] std::pair<std::int64_t, std::int64_t> GetIDByWindow(HWND window);

}  // namespace director
