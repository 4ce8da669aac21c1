// shell32, comctl32, uxtheme, ole32 and Ws2_32 declarations for hosts without the SDK.
#pragma once

#include "platform/win32/hostwin32/types.h"

// Ws2_32: socket start-up and the optional address formatter.
#include <cstddef>

using SOCKET = UINT_PTR;
inline constexpr SOCKET INVALID_SOCKET = ~SOCKET{0};
struct WSADATA {
  WORD wVersion;
  WORD wHighVersion;
  USHORT iMaxSockets;
  USHORT iMaxUdpDg;
  char* lpVendorInfo;
  char szDescription[257];
  char szSystemStatus[129];
};
using LPWSADATA = WSADATA*;
int WINAPI WSAStartup(WORD versionRequested, LPWSADATA wsaData);
LPCSTR WINAPI inet_ntop(INT family, LPCVOID address, LPSTR buffer, std::size_t bufferSize);

// Window host: tray icons, common controls, themes and OLE.
struct NOTIFYICONDATAW;
BOOL WINAPI Shell_NotifyIconW(DWORD message, NOTIFYICONDATAW* data);

struct INITCOMMONCONTROLSEX {
  DWORD dwSize;
  DWORD dwICC;
};

struct IMAGELIST_;
using HIMAGELIST = IMAGELIST_*;
using SUBCLASSPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
BOOL WINAPI ImageList_Destroy(HIMAGELIST list);
BOOL WINAPI SetWindowSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR refData);
BOOL WINAPI RemoveWindowSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id);
LRESULT WINAPI DefSubclassProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL WINAPI ImageList_BeginDrag(HIMAGELIST track, int index, int dxHotspot, int dyHotspot);
BOOL WINAPI ImageList_DragEnter(HWND lock, int x, int y);
BOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX* init);

using HTHEME = HANDLE;
HRESULT WINAPI CloseThemeData(HTHEME theme);

HRESULT WINAPI OleInitialize(LPVOID reserved);

// shell32 and ole32: the companion hands its URL to the default browser.
inline constexpr INT SW_SHOWNORMAL = 1;
inline constexpr DWORD COINIT_APARTMENTTHREADED = 0x2;
inline constexpr DWORD COINIT_DISABLE_OLE1DDE = 0x4;
inline constexpr ULONG SEE_MASK_NOASYNC = 0x100;
inline constexpr ULONG SEE_MASK_FLAG_NO_UI = 0x400;
struct SHELLEXECUTEINFOW {
  DWORD cbSize;
  ULONG fMask;
  HWND hwnd;
  LPCWSTR lpVerb;
  LPCWSTR lpFile;
  LPCWSTR lpParameters;
  LPCWSTR lpDirectory;
  int nShow;
  HINSTANCE hInstApp;
  void* lpIDList;
  LPCWSTR lpClass;
  HANDLE hkeyClass;
  DWORD dwHotKey;
  HANDLE hIconOrMonitor;
  HANDLE hProcess;
};
BOOL WINAPI ShellExecuteExW(SHELLEXECUTEINFOW* info);
HRESULT WINAPI CoInitializeEx(LPVOID reserved, DWORD coInit);
void WINAPI CoUninitialize();
