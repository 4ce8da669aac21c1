// The application object: common controls, OLE, the module handle and the system's version.
#include "windowhost/wApp.h"

#include <string_view>

#include "platform/errors.h"
#include "platform/owner.h"
#include "platform/win32/winstr.h"
#include "windowhost/bindings.h"
#include "windowhost/wGdiObject.h"
#include "windowhost/wWindow.h"

namespace windowhost {

namespace {

constexpr DWORD kCommonControlClasses = 0x8D05;  // list-view, bar, date, cool, internet, link
constexpr std::size_t kTableCapacity = 64;
constexpr DWORD kVersionInfoSize = 276;
constexpr DWORD kDllVersionInfoSize = 20;
constexpr DWORD kFirstThemedCommonControls = 6;

using RtlGetVersionProc = LONG(WINAPI*)(OSVERSIONINFOW*);
using DllGetVersionProc = HRESULT(CALLBACK*)(DllVersionInfo*);

// A library opened for one look-up and closed again; missing libraries are not an error here.
using TransientLibrary = platform::Unique<HMODULE, kernel32::FreeLibrary>;

[[nodiscard]] TransientLibrary openLibrary(std::string_view name) {
  return TransientLibrary(kernel32::LoadLibraryW(platform::wideFromUtf8(name).c_str()));
}

template <typename Fn>
[[nodiscard]] Fn find(const TransientLibrary& library, const char* name) {
  if (!library) {
    return nullptr;
  }
  // The untyped address goes through the generic function type the compiler accepts.
  return reinterpret_cast<Fn>(
      reinterpret_cast<void (*)()>(kernel32::GetProcAddress(library.get(), name)));
}

double windowsVersion() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = kVersionInfoSize;
  const TransientLibrary ntdll = openLibrary("ntdll.dll");
  // RtlGetVersion tells the truth where GetVersionExW is capped by the manifest.
  if (auto rtlGetVersion = find<RtlGetVersionProc>(ntdll, "RtlGetVersion")) {
    rtlGetVersion(&info);
  } else {
    kernel32::GetVersionExW(&info);
  }
  return info.dwMajorVersion + info.dwMinorVersion / 10.0;
}

bool commonControlsThemed() {
  const TransientLibrary comctl32Library = openLibrary("comctl32.dll");
  auto dllGetVersion = find<DllGetVersionProc>(comctl32Library, "DllGetVersion");
  if (dllGetVersion == nullptr) {
    return false;
  }
  DllVersionInfo info{};
  info.cbSize = kDllVersionInfoSize;
  dllGetVersion(&info);
  return info.dwMajorVersion >= kFirstThemedCommonControls;
}

// The application object without anything that controls need.
[[nodiscard]] std::shared_ptr<wApp> newApp() {
  auto app = std::make_shared<wApp>();
  app->mInstance = kernel32::GetModuleHandleW(nullptr);
  app->mTopLevelWindowTable.reserve(kTableCapacity);
  app->mWindowTable.reserve(kTableCapacity);
  app->mMenuBaseTable.reserve(kTableCapacity);
  app->mMessageCountTable.reserve(kTableCapacity);
  app->mPropagationSet.reserve(kTableCapacity);
  app->mWinVersion = windowsVersion();
  return app;
}

}  // namespace

std::shared_ptr<wApp> App() {
  if (wTheApp) {
    if (!wTheApp->mControlsStarted) {
      throw platform::wError("App after HiddenApp: no common controls or OLE");
    }
    return wTheApp;
  }
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(INITCOMMONCONTROLSEX);
  controls.dwICC = kCommonControlClasses;
  comctl32::InitCommonControlsEx(&controls);
  ole32::OleInitialize(nullptr);

  auto app = newApp();
  app->mUsingTheme = commonControlsThemed();
  app->mControlsStarted = true;
  wTheApp = app;
  return app;
}

std::shared_ptr<wApp> HiddenApp() {
  if (!wTheApp) {
    wTheApp = newApp();
  }
  return wTheApp;
}

std::shared_ptr<wApp> CurrentApp() {
  return wTheApp ? wTheApp : App();
}

std::int64_t wAppGetDpi() {
  wApp& app = *CurrentApp();
  if (app.mDpi == 0) {
    const HDC screen = user32::GetDC(nullptr);
    const platform::ScopeExit release([screen] {
      if (screen != nullptr) {
        user32::ReleaseDC(nullptr, screen);
      }
    });
    app.mDpi = gdi32::GetDeviceCaps(screen, LOGPIXELSY);
  }
  return app.mDpi;
}

}  // namespace windowhost
