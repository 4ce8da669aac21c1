// The Win32 surface the program uses: the real SDK headers on Windows, a small stand-in elsewhere.
// On other hosts the functions are only declared, so that binding slots can take their types
// with decltype; nothing ever defines them there, and a direct call fails to link.
#pragma once

#ifdef _WIN32
#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>
#include <uxtheme.h>
#include <windows.h>
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include "platform/hostwin32/gdi32.h"
#include "platform/hostwin32/kernel32.h"
#include "platform/hostwin32/shell.h"
#include "platform/hostwin32/types.h"
#include "platform/hostwin32/user32.h"
#endif

#include <string>
#include <string_view>

// UTF-16 text in the platform's own wide character.
using WString = std::basic_string<WCHAR>;
using WStringView = std::basic_string_view<WCHAR>;
