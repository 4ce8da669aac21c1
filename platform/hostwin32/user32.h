// user32 declarations for hosts without the SDK (types only; never defined here).
#pragma once

#include "platform/hostwin32/types.h"

HWND WINAPI GetForegroundWindow();
HWND WINAPI FindWindowW(LPCWSTR className, LPCWSTR windowName);
DWORD WINAPI GetWindowThreadProcessId(HWND window, LPDWORD processId);
BOOL WINAPI EnumWindows(WNDENUMPROC enumFunc, LPARAM lParam);
HWND WINAPI GetParent(HWND window);
int WINAPI GetWindowTextLengthW(HWND window);
int WINAPI GetWindowTextW(HWND window, LPWSTR text, int maxCount);
int WINAPI GetClassNameW(HWND window, LPWSTR className, int maxCount);
LRESULT WINAPI SendMessageW(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
