// UTF-16 text in the platform's own wide character, for the portable files that carry it: the
// SDK's WCHAR (wchar_t) on Windows, char16_t elsewhere, where the stand-in declarations use it.
#pragma once

#include <string>
#include <string_view>

#ifdef _WIN32
using WCHAR = wchar_t;
#else
using WCHAR = char16_t;
#endif

using WString = std::basic_string<WCHAR>;
using WStringView = std::basic_string_view<WCHAR>;
