// The Win32 surface the program uses: the real SDK headers on Windows, a small stand-in elsewhere.
// On other hosts the functions are only declared, so that binding slots can take their types
// with decltype; nothing ever defines them there, and a direct call fails to link.
#pragma once

#ifdef _WIN32
// The SDK headers depend on this order.
// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>
#include <uxtheme.h>
// clang-format on
#else
// clang-format off
#include "platform/win32/hostwin32/types.h"
#include "platform/win32/hostwin32/kernel32.h"
#include "platform/win32/hostwin32/user32.h"
#include "platform/win32/hostwin32/gdi32.h"
#include "platform/win32/hostwin32/shell.h"
// clang-format on
#endif

#include "platform/wide.h"

// Wine's ntdll exports its version ("8.0"); Windows has no such export and no SDK declares it.
extern "C" const char* wine_get_version();
