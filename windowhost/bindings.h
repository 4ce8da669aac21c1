// The window host's system functions, bound by name at start-up in seven library groups. Each
// list is in binding order.
#pragma once

#include <span>

#include "platform/binding.h"
#include "platform/win32/win32.h"

// clang-format off
#define WINDOWHOST_GDI32_FUNCTIONS(X) \
  X(DeleteObject) X(CreateBrushIndirect) X(GetDeviceCaps) X(SelectObject) X(GetCharWidthW) \
  X(SetTextColor) X(GetObjectW) X(GetStockObject) X(CreateFontIndirectW) X(ExtCreatePen) \
  X(SetBkColor) X(SelectClipRgn) X(GetTextMetricsW) X(GetObjectType) X(ExtTextOutW)
#define WINDOWHOST_USER32_FUNCTIONS(X) \
  X(DestroyIcon) X(DestroyCursor) X(GetWindowRect) X(ScreenToClient) X(SetWindowPos) \
  X(GetClientRect) X(SendMessageW) X(ShowWindow) X(SetClassLongPtrW) X(InvalidateRect) \
  X(GetKeyboardState) X(GetMessagePos) X(MessageBoxW) X(GetDC) X(DrawTextW) X(ReleaseDC) \
  X(GetWindowTextLengthW) X(GetWindowTextW) X(ClientToScreen) X(GetCursorPos) \
  X(GetWindowThreadProcessId) \
  X(GetForegroundWindow) X(GetSystemMetrics) X(SetForegroundWindow) X(AttachThreadInput) \
  X(SetMenuInfo) X(TrackPopupMenu) X(PostMessageW) X(CreateWindowExW) X(GetWindowLongPtrW) \
  X(GetComboBoxInfo) X(SystemParametersInfoW) X(GetParent) X(GetIconInfo) X(CreateIconIndirect) \
  X(GetCapture) X(WindowFromPoint) X(TrackMouseEvent) X(DestroyWindow) X(IsWindowVisible) \
  X(IsWindowEnabled) X(SetWindowLongPtrW) X(GetScrollBarInfo) X(SetCapture) X(GetClassInfoExW) \
  X(DefWindowProcW) X(LoadCursorW) X(RegisterClassExW) X(UpdateWindow) X(GetScrollInfo) \
  X(SetScrollInfo) X(SetCursor) X(GetMenuInfo) X(GetMenuItemInfoW) X(SetMenuItemInfoW) \
  X(CheckMenuRadioItem) X(GetSysColor) X(IsWindow) X(GetFocus) X(SetFocus) X(GetSubMenu)
#define WINDOWHOST_SHELL32_FUNCTIONS(X) X(Shell_NotifyIconW)
#define WINDOWHOST_KERNEL32_FUNCTIONS(X) \
  X(MulDiv) X(GetCurrentThreadId) X(GetModuleHandleW) X(LoadLibraryW) X(GetProcAddress) \
  X(FreeLibrary) X(GetVersionExW)
#define WINDOWHOST_COMCTL32_FUNCTIONS(X) \
  X(ImageList_Destroy) X(SetWindowSubclass) X(RemoveWindowSubclass) X(DefSubclassProc) \
  X(ImageList_BeginDrag) X(ImageList_DragEnter) X(InitCommonControlsEx)
#define WINDOWHOST_UXTHEME_FUNCTIONS(X) X(CloseThemeData)
#define WINDOWHOST_OLE32_FUNCTIONS(X) X(OleInitialize)
// clang-format on

PLATFORM_BINDING_GROUP(windowhost::gdi32, "gdi32", WINDOWHOST_GDI32_FUNCTIONS)
PLATFORM_BINDING_GROUP(windowhost::user32, "user32", WINDOWHOST_USER32_FUNCTIONS)
PLATFORM_BINDING_GROUP(windowhost::shell32, "shell32", WINDOWHOST_SHELL32_FUNCTIONS)
PLATFORM_BINDING_GROUP(windowhost::kernel32, "kernel32", WINDOWHOST_KERNEL32_FUNCTIONS)
PLATFORM_BINDING_GROUP(windowhost::comctl32, "comctl32", WINDOWHOST_COMCTL32_FUNCTIONS)
PLATFORM_BINDING_GROUP(windowhost::uxtheme, "uxtheme", WINDOWHOST_UXTHEME_FUNCTIONS)
PLATFORM_BINDING_GROUP(windowhost::ole32, "ole32", WINDOWHOST_OLE32_FUNCTIONS)

namespace windowhost {

// The groups in binding order: gdi32, user32, shell32, kernel32, comctl32, uxtheme, ole32.
[[nodiscard]] std::span<const platform::BindingGroup> bindingGroups();

// What a program needs that only hosts hidden windows under HiddenApp: gdi32, user32 and
// kernel32. Of the others only App calls anything (common controls and OLE), so their slots
// may stay empty.
[[nodiscard]] std::span<const platform::BindingGroup> hiddenWindowBindingGroups();

}  // namespace windowhost
