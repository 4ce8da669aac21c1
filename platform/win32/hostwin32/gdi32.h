// gdi32 declarations for hosts without the SDK (types only; never defined here).
#pragma once

#include "platform/win32/hostwin32/types.h"

// Window host: brushes, fonts, pens and text output.
inline constexpr UINT BS_SOLID = 0;
inline constexpr int DEFAULT_GUI_FONT = 17;
inline constexpr int LOGPIXELSY = 90;
inline constexpr LONG FW_NORMAL = 400;
inline constexpr int LF_FACESIZE = 32;

struct LOGBRUSH {
  UINT lbStyle;
  COLORREF lbColor;
  ULONG_PTR lbHatch;
};

struct LOGFONTW {
  LONG lfHeight;
  LONG lfWidth;
  LONG lfEscapement;
  LONG lfOrientation;
  LONG lfWeight;
  BYTE lfItalic;
  BYTE lfUnderline;
  BYTE lfStrikeOut;
  BYTE lfCharSet;
  BYTE lfOutPrecision;
  BYTE lfClipPrecision;
  BYTE lfQuality;
  BYTE lfPitchAndFamily;
  WCHAR lfFaceName[LF_FACESIZE];
};

struct TEXTMETRICW;

BOOL WINAPI DeleteObject(HGDIOBJ object);
HBRUSH WINAPI CreateBrushIndirect(const LOGBRUSH* brush);
int WINAPI GetDeviceCaps(HDC dc, int index);
HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object);
BOOL WINAPI GetCharWidthW(HDC dc, UINT first, UINT last, INT* buffer);
COLORREF WINAPI SetTextColor(HDC dc, COLORREF color);
int WINAPI GetObjectW(HANDLE object, int size, LPVOID buffer);
HGDIOBJ WINAPI GetStockObject(int index);
HFONT WINAPI CreateFontIndirectW(const LOGFONTW* font);
HPEN WINAPI ExtCreatePen(DWORD penStyle, DWORD width, const LOGBRUSH* brush, DWORD styleCount,
                         const DWORD* style);
COLORREF WINAPI SetBkColor(HDC dc, COLORREF color);
int WINAPI SelectClipRgn(HDC dc, HRGN region);
BOOL WINAPI GetTextMetricsW(HDC dc, TEXTMETRICW* metrics);
DWORD WINAPI GetObjectType(HGDIOBJ object);
BOOL WINAPI ExtTextOutW(HDC dc, int x, int y, UINT options, const RECT* rect, LPCWSTR text,
                        UINT count, const INT* dx);
