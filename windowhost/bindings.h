// The window host's system functions, bound by name at start-up in seven library groups.
#pragma once

#include <span>

#include "platform/binding.h"
#include "platform/win32.h"

namespace windowhost {

namespace gdi32 {
inline decltype(&::DeleteObject) DeleteObject = nullptr;
inline decltype(&::CreateBrushIndirect) CreateBrushIndirect = nullptr;
inline decltype(&::GetDeviceCaps) GetDeviceCaps = nullptr;
inline decltype(&::SelectObject) SelectObject = nullptr;
inline decltype(&::GetCharWidthW) GetCharWidthW = nullptr;
inline decltype(&::SetTextColor) SetTextColor = nullptr;
inline decltype(&::GetObjectW) GetObjectW = nullptr;
inline decltype(&::GetStockObject) GetStockObject = nullptr;
inline decltype(&::CreateFontIndirectW) CreateFontIndirectW = nullptr;
inline decltype(&::ExtCreatePen) ExtCreatePen = nullptr;
inline decltype(&::SetBkColor) SetBkColor = nullptr;
inline decltype(&::SelectClipRgn) SelectClipRgn = nullptr;
inline decltype(&::GetTextMetricsW) GetTextMetricsW = nullptr;
inline decltype(&::GetObjectType) GetObjectType = nullptr;
inline decltype(&::ExtTextOutW) ExtTextOutW = nullptr;
}  // namespace gdi32

namespace user32 {
inline decltype(&::DestroyIcon) DestroyIcon = nullptr;
inline decltype(&::DestroyCursor) DestroyCursor = nullptr;
inline decltype(&::GetWindowRect) GetWindowRect = nullptr;
inline decltype(&::ScreenToClient) ScreenToClient = nullptr;
inline decltype(&::SetWindowPos) SetWindowPos = nullptr;
inline decltype(&::GetClientRect) GetClientRect = nullptr;
inline decltype(&::SendMessageW) SendMessageW = nullptr;
inline decltype(&::ShowWindow) ShowWindow = nullptr;
inline decltype(&::SetClassLongPtrW) SetClassLongPtrW = nullptr;
inline decltype(&::InvalidateRect) InvalidateRect = nullptr;
inline decltype(&::GetKeyboardState) GetKeyboardState = nullptr;
inline decltype(&::GetMessagePos) GetMessagePos = nullptr;
inline decltype(&::MessageBoxW) MessageBoxW = nullptr;
inline decltype(&::GetDC) GetDC = nullptr;
inline decltype(&::DrawTextW) DrawTextW = nullptr;
inline decltype(&::ReleaseDC) ReleaseDC = nullptr;
inline decltype(&::GetWindowTextLengthW) GetWindowTextLengthW = nullptr;
inline decltype(&::GetWindowTextW) GetWindowTextW = nullptr;
inline decltype(&::ClientToScreen) ClientToScreen = nullptr;
inline decltype(&::GetCursorPos) GetCursorPos = nullptr;
inline decltype(&::GetWindowThreadProcessId) GetWindowThreadProcessId = nullptr;
inline decltype(&::GetForegroundWindow) GetForegroundWindow = nullptr;
inline decltype(&::GetSystemMetrics) GetSystemMetrics = nullptr;
inline decltype(&::SetForegroundWindow) SetForegroundWindow = nullptr;
inline decltype(&::AttachThreadInput) AttachThreadInput = nullptr;
inline decltype(&::SetMenuInfo) SetMenuInfo = nullptr;
inline decltype(&::TrackPopupMenu) TrackPopupMenu = nullptr;
inline decltype(&::PostMessageW) PostMessageW = nullptr;
inline decltype(&::CreateWindowExW) CreateWindowExW = nullptr;
inline decltype(&::GetWindowLongPtrW) GetWindowLongPtrW = nullptr;
inline decltype(&::GetComboBoxInfo) GetComboBoxInfo = nullptr;
inline decltype(&::SystemParametersInfoW) SystemParametersInfoW = nullptr;
inline decltype(&::GetParent) GetParent = nullptr;
inline decltype(&::GetIconInfo) GetIconInfo = nullptr;
inline decltype(&::CreateIconIndirect) CreateIconIndirect = nullptr;
inline decltype(&::GetCapture) GetCapture = nullptr;
inline decltype(&::WindowFromPoint) WindowFromPoint = nullptr;
inline decltype(&::TrackMouseEvent) TrackMouseEvent = nullptr;
inline decltype(&::DestroyWindow) DestroyWindow = nullptr;
inline decltype(&::IsWindowVisible) IsWindowVisible = nullptr;
inline decltype(&::IsWindowEnabled) IsWindowEnabled = nullptr;
inline decltype(&::SetWindowLongPtrW) SetWindowLongPtrW = nullptr;
inline decltype(&::GetScrollBarInfo) GetScrollBarInfo = nullptr;
inline decltype(&::SetCapture) SetCapture = nullptr;
inline decltype(&::GetClassInfoExW) GetClassInfoExW = nullptr;
inline decltype(&::DefWindowProcW) DefWindowProcW = nullptr;
inline decltype(&::LoadCursorW) LoadCursorW = nullptr;
inline decltype(&::RegisterClassExW) RegisterClassExW = nullptr;
inline decltype(&::UpdateWindow) UpdateWindow = nullptr;
inline decltype(&::GetScrollInfo) GetScrollInfo = nullptr;
inline decltype(&::SetScrollInfo) SetScrollInfo = nullptr;
inline decltype(&::SetCursor) SetCursor = nullptr;
inline decltype(&::GetMenuInfo) GetMenuInfo = nullptr;
inline decltype(&::GetMenuItemInfoW) GetMenuItemInfoW = nullptr;
inline decltype(&::SetMenuItemInfoW) SetMenuItemInfoW = nullptr;
inline decltype(&::CheckMenuRadioItem) CheckMenuRadioItem = nullptr;
inline decltype(&::GetSysColor) GetSysColor = nullptr;
inline decltype(&::IsWindow) IsWindow = nullptr;
inline decltype(&::GetFocus) GetFocus = nullptr;
inline decltype(&::SetFocus) SetFocus = nullptr;
inline decltype(&::GetSubMenu) GetSubMenu = nullptr;
}  // namespace user32

namespace shell32 {
inline decltype(&::Shell_NotifyIconW) Shell_NotifyIconW = nullptr;
}  // namespace shell32

namespace kernel32 {
inline decltype(&::MulDiv) MulDiv = nullptr;
inline decltype(&::GetCurrentThreadId) GetCurrentThreadId = nullptr;
inline decltype(&::GetModuleHandleW) GetModuleHandleW = nullptr;
inline decltype(&::LoadLibraryW) LoadLibraryW = nullptr;
inline decltype(&::GetProcAddress) GetProcAddress = nullptr;
inline decltype(&::FreeLibrary) FreeLibrary = nullptr;
inline decltype(&::GetVersionExW) GetVersionExW = nullptr;
}  // namespace kernel32

namespace comctl32 {
inline decltype(&::ImageList_Destroy) ImageList_Destroy = nullptr;
inline decltype(&::SetWindowSubclass) SetWindowSubclass = nullptr;
inline decltype(&::RemoveWindowSubclass) RemoveWindowSubclass = nullptr;
inline decltype(&::DefSubclassProc) DefSubclassProc = nullptr;
inline decltype(&::ImageList_BeginDrag) ImageList_BeginDrag = nullptr;
inline decltype(&::ImageList_DragEnter) ImageList_DragEnter = nullptr;
inline decltype(&::InitCommonControlsEx) InitCommonControlsEx = nullptr;
}  // namespace comctl32

namespace uxtheme {
inline decltype(&::CloseThemeData) CloseThemeData = nullptr;
}  // namespace uxtheme

namespace ole32 {
inline decltype(&::OleInitialize) OleInitialize = nullptr;
}  // namespace ole32

// The groups in binding order: gdi32, user32, shell32, kernel32, comctl32, uxtheme, ole32.
[[nodiscard]] std::span<const platform::BindingGroup> bindingGroups();

}  // namespace windowhost
