// Drawing objects: each owns its system handle and frees it when the last reference goes.
#include "windowhost/wGdiObject.h"

#include "platform/errors.h"
#include "platform/owner.h"
#include "windowhost/bindings.h"

namespace windowhost {

// Each destructor hands its handle to an owner that frees it, unless the system shares it.
wFont::~wFont() {
  const platform::Unique<HGDIOBJ, gdi32::DeleteObject> owned(mDeletable ? mHandle : nullptr);
}

wBrush::~wBrush() {
  const platform::Unique<HGDIOBJ, gdi32::DeleteObject> owned(mDeletable ? mHandle : nullptr);
}

wCursor::~wCursor() {
  const platform::Unique<HCURSOR, user32::DestroyCursor> owned(mDeletable ? handle() : nullptr);
}

std::shared_ptr<wFont> Font(const LOGFONTW& description) {
  HFONT handle = gdi32::CreateFontIndirectW(&description);
  if (handle == nullptr) {
    throw platform::wFontError("wFont creation failed");
  }
  auto font = std::make_shared<wFont>();
  font->mHandle = handle;
  return font;
}

std::shared_ptr<wBrush> Brush(COLORREF color) {
  LOGBRUSH description{};
  description.lbStyle = BS_SOLID;
  description.lbColor = color;
  HBRUSH handle = gdi32::CreateBrushIndirect(&description);
  if (handle == nullptr) {
    throw platform::wBrushError("wBrush creation failed");
  }
  auto brush = std::make_shared<wBrush>();
  brush->mHandle = handle;
  brush->mColor = color;
  return brush;
}

std::shared_ptr<wCursor> Cursor(LPCWSTR systemCursor) {
  HCURSOR handle = user32::LoadCursorW(nullptr, systemCursor);
  if (handle == nullptr) {
    throw platform::wCursorError("wCursor creation failed");
  }
  auto cursor = std::make_shared<wCursor>();
  cursor->mHandle = handle;
  // The system's shared cursors must never be destroyed.
  cursor->mDeletable = false;
  return cursor;
}

std::shared_ptr<wCursor> EmptyCursor() {
  auto cursor = std::make_shared<wCursor>();
  cursor->mDeletable = false;
  return cursor;
}

}  // namespace windowhost
