// user32 declarations for hosts without the SDK (types only; never defined here).
#pragma once

#include "platform/win32/hostwin32/types.h"

HWND WINAPI GetForegroundWindow();
HWND WINAPI FindWindowW(LPCWSTR className, LPCWSTR windowName);
HWND WINAPI FindWindowExW(HWND parent, HWND childAfter, LPCWSTR className, LPCWSTR windowName);
HWND WINAPI GetDlgItem(HWND dialog, int id);
DWORD WINAPI GetWindowThreadProcessId(HWND window, LPDWORD processId);
BOOL WINAPI EnumWindows(WNDENUMPROC enumFunc, LPARAM lParam);
HWND WINAPI GetParent(HWND window);
int WINAPI GetWindowTextLengthW(HWND window);
int WINAPI GetWindowTextW(HWND window, LPWSTR text, int maxCount);
int WINAPI GetClassNameW(HWND window, LPWSTR className, int maxCount);
LRESULT WINAPI SendMessageW(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT WINAPI SendMessageTimeoutW(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT flags,
                                   UINT timeout, DWORD_PTR* result);
inline constexpr UINT SMTO_NORMAL = 0x0000;
inline constexpr UINT SMTO_ABORTIFHUNG = 0x0002;

// Window host: classes, windows, messages, menus, scrolling, cursors and icons.
#include "platform/win32/hostwin32/gdi32.h"

inline constexpr UINT CS_VREDRAW = 0x0001;
inline constexpr UINT CS_HREDRAW = 0x0002;
inline constexpr UINT CS_DBLCLKS = 0x0008;
inline constexpr int COLOR_APPWORKSPACE = 12;
inline constexpr UINT SPI_GETNONCLIENTMETRICS = 0x0029;
inline constexpr UINT SWP_NOSIZE = 0x0001;
inline constexpr UINT SWP_NOMOVE = 0x0002;
inline constexpr UINT SWP_NOZORDER = 0x0004;
inline constexpr UINT SWP_NOACTIVATE = 0x0010;
inline constexpr UINT SWP_NOOWNERZORDER = 0x0200;
inline constexpr LRESULT HTCLIENT = 1;
inline constexpr DWORD TME_LEAVE = 0x00000002;
inline constexpr DWORD GCL_HBRBACKGROUND = static_cast<DWORD>(-10);

struct WNDCLASSEXW {
  UINT cbSize;
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  LPCWSTR lpszMenuName;
  LPCWSTR lpszClassName;
  HICON hIconSm;
};
using LPWNDCLASSEXW = WNDCLASSEXW*;

struct NONCLIENTMETRICSW {
  UINT cbSize;
  int iBorderWidth;
  int iScrollWidth;
  int iScrollHeight;
  int iCaptionWidth;
  int iCaptionHeight;
  LOGFONTW lfCaptionFont;
  int iSmCaptionWidth;
  int iSmCaptionHeight;
  LOGFONTW lfSmCaptionFont;
  int iMenuWidth;
  int iMenuHeight;
  LOGFONTW lfMenuFont;
  LOGFONTW lfStatusFont;
  LOGFONTW lfMessageFont;
  int iPaddedBorderWidth;
};

struct MINMAXINFO {
  POINT ptReserved;
  POINT ptMaxSize;
  POINT ptMaxPosition;
  POINT ptMinTrackSize;
  POINT ptMaxTrackSize;
};

struct TRACKMOUSEEVENT {
  DWORD cbSize;
  DWORD dwFlags;
  HWND hwndTrack;
  DWORD dwHoverTime;
};

struct NMHDR {
  HWND hwndFrom;
  UINT_PTR idFrom;
  UINT code;
};

struct MENUINFO;
struct MENUITEMINFOW;
struct COMBOBOXINFO;
struct ICONINFO;
struct SCROLLBARINFO;
struct SCROLLINFO;

BOOL WINAPI DestroyIcon(HICON icon);
BOOL WINAPI DestroyCursor(HCURSOR cursor);
BOOL WINAPI GetWindowRect(HWND window, LPRECT rect);
BOOL WINAPI ScreenToClient(HWND window, LPPOINT point);
BOOL WINAPI SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL WINAPI GetClientRect(HWND window, LPRECT rect);
BOOL WINAPI ShowWindow(HWND window, int command);
ULONG_PTR WINAPI SetClassLongPtrW(HWND window, int index, LONG_PTR value);
BOOL WINAPI InvalidateRect(HWND window, const RECT* rect, BOOL erase);
BOOL WINAPI GetKeyboardState(PBYTE keyState);
DWORD WINAPI GetMessagePos();
int WINAPI MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
HDC WINAPI GetDC(HWND window);
int WINAPI DrawTextW(HDC dc, LPCWSTR text, int count, LPRECT rect, UINT format);
int WINAPI ReleaseDC(HWND window, HDC dc);
BOOL WINAPI ClientToScreen(HWND window, LPPOINT point);
BOOL WINAPI GetCursorPos(LPPOINT point);
int WINAPI GetSystemMetrics(int index);
BOOL WINAPI SetForegroundWindow(HWND window);
BOOL WINAPI AttachThreadInput(DWORD attach, DWORD attachTo, BOOL doAttach);
BOOL WINAPI SetMenuInfo(HMENU menu, const MENUINFO* info);
BOOL WINAPI TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND window,
                           const RECT* rect);
BOOL WINAPI PostMessageW(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
HWND WINAPI CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style,
                            int x, int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param);
LONG_PTR WINAPI GetWindowLongPtrW(HWND window, int index);
BOOL WINAPI GetComboBoxInfo(HWND combo, COMBOBOXINFO* info);
BOOL WINAPI SystemParametersInfoW(UINT action, UINT param, PVOID data, UINT winIni);
BOOL WINAPI GetIconInfo(HICON icon, ICONINFO* info);
HICON WINAPI CreateIconIndirect(ICONINFO* info);
HWND WINAPI GetCapture();
HWND WINAPI WindowFromPoint(POINT point);
BOOL WINAPI TrackMouseEvent(TRACKMOUSEEVENT* track);
BOOL WINAPI DestroyWindow(HWND window);
BOOL WINAPI IsWindowVisible(HWND window);
BOOL WINAPI IsWindowEnabled(HWND window);
LONG_PTR WINAPI SetWindowLongPtrW(HWND window, int index, LONG_PTR value);
BOOL WINAPI GetScrollBarInfo(HWND window, LONG object, SCROLLBARINFO* info);
HWND WINAPI SetCapture(HWND window);
BOOL WINAPI GetClassInfoExW(HINSTANCE instance, LPCWSTR className, LPWNDCLASSEXW windowClass);
LRESULT WINAPI DefWindowProcW(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
HCURSOR WINAPI LoadCursorW(HINSTANCE instance, LPCWSTR cursorName);
ATOM WINAPI RegisterClassExW(const WNDCLASSEXW* windowClass);
BOOL WINAPI UpdateWindow(HWND window);
BOOL WINAPI GetScrollInfo(HWND window, int bar, SCROLLINFO* info);
int WINAPI SetScrollInfo(HWND window, int bar, const SCROLLINFO* info, BOOL redraw);
HCURSOR WINAPI SetCursor(HCURSOR cursor);
BOOL WINAPI GetMenuInfo(HMENU menu, MENUINFO* info);
BOOL WINAPI GetMenuItemInfoW(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFOW* info);
BOOL WINAPI SetMenuItemInfoW(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFOW* info);
BOOL WINAPI CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags);
DWORD WINAPI GetSysColor(int index);
BOOL WINAPI IsWindow(HWND window);
HWND WINAPI GetFocus();
HWND WINAPI SetFocus(HWND window);
HMENU WINAPI GetSubMenu(HMENU menu, int position);
