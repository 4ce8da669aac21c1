// The scripted Windows behind the window host's slots.
#include "fake_system.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "platform/text.h"
#include "platform/win32/winstr.h"
#include "tests/support/text.h"
#include "windowhost/bindings.h"
#include "windowhost/wApp.h"

namespace windowhost_test {

namespace {

using namespace windowhost;
using test_support::narrow;

FakeSystem* gFake = nullptr;  // NOLINT(cppcoreguidelines-avoid-non-const-global-variables)

FakeSystem& fake() {
  if (gFake == nullptr) {
    throw std::logic_error("no FakeSystem installed");
  }
  return *gFake;
}

template <typename Handle>
Handle handleOf(std::uintptr_t value) {
  return reinterpret_cast<Handle>(value);
}

const HMODULE kNtdll = handleOf<HMODULE>(0x7000);
const HMODULE kComctl = handleOf<HMODULE>(0x7100);
const HGDIOBJ kGuiFont = handleOf<HGDIOBJ>(0x7200);

LONG WINAPI fakeRtlGetVersion(OSVERSIONINFOW* info) {
  fake().versionInfoSize = info->dwOSVersionInfoSize;
  info->dwMajorVersion = 10;
  info->dwMinorVersion = 0;
  return 0;
}

HRESULT CALLBACK fakeDllGetVersion(DllVersionInfo* info) {
  fake().dllVersionInfoSize = info->cbSize;
  info->dwMajorVersion = fake().comctlMajor;
  return 0;
}

template <typename Fn>
FARPROC asProc(Fn function) {
  return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

void setFace(LOGFONTW& font, std::string_view face) {
  const WString wide = platform::toUtf16(face);
  std::copy(wide.begin(), wide.end(), std::begin(font.lfFaceName));
}

void installKernel(test_support::SlotSwaps& swaps) {
  swaps.swap(
      platform::textkernel32::MultiByteToWideChar,
      [](UINT codePage, DWORD flags, LPCSTR bytes, int count, LPWSTR wide, int capacity) -> int {
        fake().conversions.emplace_back(codePage, flags);
        const WString text =
            platform::toUtf16(std::string_view(bytes, static_cast<std::size_t>(count)));
        if (wide == nullptr) {
          return static_cast<int>(text.size());
        }
        const auto n = std::min(text.size(), static_cast<std::size_t>(capacity));
        std::copy_n(text.begin(), n, wide);
        return static_cast<int>(n);
      });
  swaps.swap(kernel32::GetModuleHandleW, [](LPCWSTR) -> HMODULE { return fakeInstance(); });
  swaps.swap(kernel32::LoadLibraryW, [](LPCWSTR name) -> HMODULE {
    const std::string library = narrow(name);
    fake().loadedLibraries.push_back(library);
    if (library == "ntdll.dll" && fake().hasNtdll) {
      return kNtdll;
    }
    if (library == "comctl32.dll" && fake().hasComctl) {
      return kComctl;
    }
    return nullptr;
  });
  swaps.swap(kernel32::GetProcAddress, [](HMODULE module, LPCSTR name) -> FARPROC {
    const std::string_view function(name);
    if (module == kNtdll && function == "RtlGetVersion" && fake().hasRtlGetVersion) {
      return asProc(&fakeRtlGetVersion);
    }
    if (module == kComctl && function == "DllGetVersion" && fake().hasDllGetVersion) {
      return asProc(&fakeDllGetVersion);
    }
    return nullptr;
  });
  swaps.swap(kernel32::FreeLibrary, [](HMODULE) -> BOOL {
    ++fake().freedLibraries;
    return TRUE;
  });
  swaps.swap(kernel32::GetVersionExW, [](OSVERSIONINFOW* info) -> BOOL {
    fake().versionInfoSize = info->dwOSVersionInfoSize;
    info->dwMajorVersion = 6;
    info->dwMinorVersion = 1;
    return TRUE;
  });
  swaps.swap(comctl32::InitCommonControlsEx, [](const INITCOMMONCONTROLSEX* init) -> BOOL {
    ++fake().commonControlInits;
    fake().iccSize = init->dwSize;
    fake().iccClasses = init->dwICC;
    return TRUE;
  });
  swaps.swap(ole32::OleInitialize, [](LPVOID) -> HRESULT {
    ++fake().oleInits;
    return 0;
  });
}

void installGdi(test_support::SlotSwaps& swaps) {
  swaps.swap(user32::GetDC, [](HWND) -> HDC {
    ++fake().screenDcs;
    return handleOf<HDC>(0x7300);
  });
  swaps.swap(user32::ReleaseDC, [](HWND, HDC) -> int {
    ++fake().releasedDcs;
    return 1;
  });
  swaps.swap(gdi32::GetDeviceCaps,
             [](HDC, int index) -> int { return index == LOGPIXELSY ? kDpi : -1; });
  swaps.swap(user32::GetSysColor, [](int index) -> DWORD {
    fake().sysColorIndexes.push_back(index);
    return kSysColor;
  });
  swaps.swap(gdi32::CreateBrushIndirect, [](const LOGBRUSH* brush) -> HBRUSH {
    fake().brushes.push_back(*brush);
    return fake().failBrush ? nullptr : handleOf<HBRUSH>(0xB000 + fake().brushes.size());
  });
  swaps.swap(gdi32::DeleteObject, [](HGDIOBJ) -> BOOL {
    if (gFake != nullptr) {
      ++gFake->deletedObjects;
    }
    return TRUE;
  });
  swaps.swap(user32::SystemParametersInfoW, [](UINT action, UINT param, PVOID data, UINT) -> BOOL {
    auto* metrics = static_cast<NONCLIENTMETRICSW*>(data);
    fake().metricsAction = action;
    fake().metricsParam = param;
    fake().metricsSize = metrics->cbSize;
    if (fake().failMetrics) {
      return FALSE;
    }
    LOGFONTW& font = metrics->lfMessageFont;
    font.lfHeight = -15;
    font.lfWidth = 7;
    font.lfWeight = 700;
    font.lfItalic = 1;
    font.lfUnderline = 1;
    font.lfStrikeOut = 1;
    font.lfCharSet = 0xCC;
    font.lfQuality = 5;
    font.lfPitchAndFamily = 0x22;
    setFace(font, "Message Face");
    return TRUE;
  });
  swaps.swap(gdi32::GetStockObject,
             [](int index) -> HGDIOBJ { return index == DEFAULT_GUI_FONT ? kGuiFont : nullptr; });
  swaps.swap(gdi32::GetObjectW, [](HANDLE object, int size, LPVOID buffer) -> int {
    if (object != kGuiFont || size != static_cast<int>(sizeof(LOGFONTW))) {
      return 0;
    }
    LOGFONTW font{};
    font.lfHeight = -11;
    font.lfWeight = 700;
    font.lfItalic = 1;
    font.lfCharSet = 1;
    setFace(font, "Gui Face");
    std::memcpy(buffer, &font, sizeof font);
    return size;
  });
  swaps.swap(gdi32::CreateFontIndirectW, [](const LOGFONTW* font) -> HFONT {
    fake().fonts.push_back(*font);
    return fake().failFont ? nullptr : handleOf<HFONT>(0xF000 + fake().fonts.size());
  });
  swaps.swap(user32::LoadCursorW, [](HINSTANCE, LPCWSTR id) -> HCURSOR {
    fake().cursorIds.push_back(reinterpret_cast<ULONG_PTR>(id));
    return handleOf<HCURSOR>(0xC000);
  });
  swaps.swap(gdi32::SetTextColor, [](HDC, COLORREF) -> COLORREF { return 0; });
  swaps.swap(gdi32::SetBkColor, [](HDC, COLORREF) -> COLORREF { return 0; });
}

void installWindows(test_support::SlotSwaps& swaps) {
  swaps.swap(user32::GetClassInfoExW, [](HINSTANCE, LPCWSTR name, LPWNDCLASSEXW) -> BOOL {
    return fake().registeredClasses.contains(narrow(name)) ? TRUE : FALSE;
  });
  swaps.swap(user32::RegisterClassExW, [](const WNDCLASSEXW* windowClass) -> ATOM {
    if (fake().failRegister) {
      return 0;
    }
    RegisteredClass record;
    record.name = narrow(windowClass->lpszClassName);
    record.cbSize = windowClass->cbSize;
    record.style = windowClass->style;
    record.wndProc = windowClass->lpfnWndProc;
    record.classExtra = windowClass->cbClsExtra;
    record.windowExtra = windowClass->cbWndExtra;
    record.instance = windowClass->hInstance;
    record.icon = windowClass->hIcon;
    record.cursor = windowClass->hCursor;
    record.background = windowClass->hbrBackground;
    record.menuNameNull = windowClass->lpszMenuName == nullptr;
    record.smallIcon = windowClass->hIconSm;
    fake().registeredClasses.insert(record.name);
    fake().classes.push_back(record);
    return static_cast<ATOM>(0xC000 + fake().classes.size());
  });
  swaps.swap(
      user32::CreateWindowExW,
      [](DWORD exStyle, LPCWSTR className, LPCWSTR title, DWORD style, int x, int y, int width,
         int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) -> HWND {
        FakeSystem& system = fake();
        CreatedWindow record{exStyle,
                             narrow(className),
                             narrow(title),
                             title == nullptr,
                             style,
                             x,
                             y,
                             width,
                             height,
                             parent,
                             menu,
                             instance,
                             param,
                             nullptr};
        if (!system.failCreate) {
          record.result = handleOf<HWND>(system.created.size() * 0x10 + 0x100);
        }
        system.created.push_back(record);
        if (record.result != nullptr && system.sizeDuringCreate) {
          wWndProc(record.result, WM_SIZE, 0, 0);
        }
        return record.result;
      });
  swaps.swap(user32::SendMessageW,
             [](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
               fake().sent.push_back({hwnd, msg, wParam, lParam});
               return 0;
             });
  swaps.swap(user32::PostMessageW, [](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) -> BOOL {
    fake().posted.push_back({hwnd, msg, wParam, lParam});
    return TRUE;
  });
  swaps.swap(user32::SetWindowPos,
             [](HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags) -> BOOL {
               fake().placements.push_back({hwnd, after, x, y, cx, cy, flags});
               return TRUE;
             });
  swaps.swap(user32::UpdateWindow, [](HWND hwnd) -> BOOL {
    fake().updated.push_back(hwnd);
    return TRUE;
  });
  swaps.swap(user32::GetWindowRect, [](HWND, LPRECT rect) -> BOOL {
    *rect = RECT{10, 20, 110, 70};
    return TRUE;
  });
  swaps.swap(user32::GetClientRect, [](HWND, LPRECT rect) -> BOOL {
    *rect = RECT{0, 0, 90, 40};
    return TRUE;
  });
  swaps.swap(user32::DestroyWindow, [](HWND hwnd) -> BOOL {
    fake().destroyed.push_back(hwnd);
    // Windows ends a window with these two, in this order, through its window procedure.
    wWndProc(hwnd, WM_DESTROY, 0, 0);
    wWndProc(hwnd, WM_NCDESTROY, 0, 0);
    return TRUE;
  });
  swaps.swap(user32::DefWindowProcW,
             [](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
               fake().defaults.push_back({hwnd, msg, wParam, lParam});
               return kDefaultResult;
             });
  swaps.swap(user32::GetKeyboardState, [](PBYTE keys) -> BOOL {
    ++fake().keyboardReads;
    std::fill_n(keys, 256, BYTE{0});
    keys['A'] = 0x80;
    return TRUE;
  });
  // x = -5, y = 7: the halves are signed.
  swaps.swap(user32::GetMessagePos, []() -> DWORD { return 0x0007FFFB; });
  swaps.swap(user32::MessageBoxW, [](HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) -> int {
    fake().boxes.push_back({owner, narrow(text), narrow(caption), type});
    return 1;
  });
  swaps.swap(user32::TrackMouseEvent, [](TRACKMOUSEEVENT*) -> BOOL { return TRUE; });
  swaps.swap(user32::SetCursor, [](HCURSOR) -> HCURSOR { return nullptr; });
  swaps.swap(user32::SetFocus, [](HWND) -> HWND { return nullptr; });
}

}  // namespace

FakeSystem::FakeSystem() {
  if (gFake != nullptr) {
    throw std::logic_error("a FakeSystem is already installed");
  }
  installKernel(swaps_);
  installGdi(swaps_);
  installWindows(swaps_);
  gFake = this;
  wTheApp.reset();
}

FakeSystem::~FakeSystem() {
  // The application object frees its drawing objects through the slots, so it goes first.
  wTheApp.reset();
  gFake = nullptr;
}

bool FakeSystem::reachedDefault(HWND hwnd, UINT msg) const {
  return std::any_of(defaults.begin(), defaults.end(), [&](const MessageRecord& record) {
    return record.hwnd == hwnd && record.msg == msg;
  });
}

std::shared_ptr<wFrame> receiverFrame(std::string_view title) {
  auto frame = std::make_shared<wFrame>();
  init(frame, nullptr, title, {kDefault, kDefault}, {320, 220}, 0xCF0000, "wFrame");
  return frame;
}

LRESULT send(const wWindow& window, UINT msg, WPARAM wParam, LPARAM lParam) {
  return wWndProc(window.mHwnd, msg, wParam, lParam);
}

}  // namespace windowhost_test
