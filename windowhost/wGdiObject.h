// The drawing objects a window holds: font, background brush and cursor, each owning its handle.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/win32/win32.h"
#include "windowhost/wEvent.h"

namespace windowhost {

class wGdiObject {
public:
  wGdiObject() = default;
  wGdiObject(const wGdiObject&) = delete;
  wGdiObject& operator=(const wGdiObject&) = delete;
  virtual ~wGdiObject() = default;

  HGDIOBJ mHandle{};
  bool mDeletable = true;
};

class wFont : public wGdiObject {
public:
  ~wFont() override;
  [[nodiscard]] HFONT handle() const noexcept { return static_cast<HFONT>(mHandle); }
};

class wBrush : public wGdiObject {
public:
  ~wBrush() override;
  [[nodiscard]] HBRUSH handle() const noexcept { return static_cast<HBRUSH>(mHandle); }
  COLORREF mColor = 0;
};

class wCursor : public wGdiObject {
public:
  ~wCursor() override;
  [[nodiscard]] HCURSOR handle() const noexcept { return static_cast<HCURSOR>(mHandle); }
  wSize mSize{kDefault, kDefault};
  wPoint mHotspot{kDefault, kDefault};
};

// A font made from a description; wFontError "wFont creation failed" when the system refuses.
[[nodiscard]] std::shared_ptr<wFont> Font(const LOGFONTW& description);

// A solid brush; wBrushError "wBrush creation failed" when the system refuses.
[[nodiscard]] std::shared_ptr<wBrush> Brush(COLORREF color);

// One of the system's shared cursors (an IDC_ value); wCursorError "wCursor creation failed"
// when the system has no such cursor.
[[nodiscard]] std::shared_ptr<wCursor> Cursor(LPCWSTR systemCursor);

// A cursor object without a handle: the window has no cursor of its own.
[[nodiscard]] std::shared_ptr<wCursor> EmptyCursor();

}  // namespace windowhost
