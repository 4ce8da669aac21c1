// The application object: common controls, OLE, the module handle and the system's version.
#include "windowhost/wApp.h"

#include <string_view>

#include "platform/winstr.h"
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

// The layout DllGetVersion fills; it is looked up at run time, so its type is ours to state.
struct DllVersionInfo {
  DWORD cbSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformID;
};

using RtlGetVersionProc = LONG(WINAPI*)(OSVERSIONINFOW*);
using DllGetVersionProc = HRESULT(CALLBACK*)(DllVersionInfo*);

// A library opened for one look-up and closed again; missing libraries are not an error here.
class TransientLibrary {
public:
  explicit TransientLibrary(std::string_view name)
      : handle_(kernel32::LoadLibraryW(platform::wideFromUtf8(name).c_str())) {}
  TransientLibrary(const TransientLibrary&) = delete;
  TransientLibrary& operator=(const TransientLibrary&) = delete;
  ~TransientLibrary() {
    if (handle_ != nullptr) {
      kernel32::FreeLibrary(handle_);
    }
  }

  template <typename Fn>
  [[nodiscard]] Fn find(const char* name) const {
    if (handle_ == nullptr) {
      return nullptr;
    }
    // The untyped address goes through the generic function type the compiler accepts.
    return reinterpret_cast<Fn>(
        reinterpret_cast<void (*)()>(kernel32::GetProcAddress(handle_, name)));
  }

private:
  HMODULE handle_;
};

double windowsVersion() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = kVersionInfoSize;
  const TransientLibrary ntdll("ntdll.dll");
  // RtlGetVersion tells the truth where GetVersionExW is capped by the manifest.
  if (auto rtlGetVersion = ntdll.find<RtlGetVersionProc>("RtlGetVersion")) {
    rtlGetVersion(&info);
  } else {
    kernel32::GetVersionExW(&info);
  }
  return info.dwMajorVersion + info.dwMinorVersion / 10.0;
}

bool commonControlsThemed() {
  const TransientLibrary comctl32Library("comctl32.dll");
  auto dllGetVersion = comctl32Library.find<DllGetVersionProc>("DllGetVersion");
  if (dllGetVersion == nullptr) {
    return false;
  }
  DllVersionInfo info{};
  info.cbSize = kDllVersionInfoSize;
  dllGetVersion(&info);
  return info.dwMajorVersion >= kFirstThemedCommonControls;
}

// The screen's device context for one query.
class ScreenDc {
public:
  ScreenDc() : dc_(user32::GetDC(nullptr)) {}
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  ~ScreenDc() {
    if (dc_ != nullptr) {
      user32::ReleaseDC(nullptr, dc_);
    }
  }
  [[nodiscard]] HDC get() const noexcept { return dc_; }

private:
  HDC dc_;
};

}  // namespace

std::shared_ptr<wApp> App() {
  if (wTheApp) {
    return wTheApp;
  }
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(INITCOMMONCONTROLSEX);
  controls.dwICC = kCommonControlClasses;
  comctl32::InitCommonControlsEx(&controls);
  ole32::OleInitialize(nullptr);

  auto app = std::make_shared<wApp>();
  app->mInstance = kernel32::GetModuleHandleW(nullptr);
  app->mTopLevelWindowTable.reserve(kTableCapacity);
  app->mWindowTable.reserve(kTableCapacity);
  app->mMenuBaseTable.reserve(kTableCapacity);
  app->mMessageCountTable.reserve(kTableCapacity);
  app->mPropagationSet.reserve(kTableCapacity);
  app->mWinVersion = windowsVersion();
  app->mUsingTheme = commonControlsThemed();
  wTheApp = app;
  return app;
}

std::int64_t wAppGetDpi() {
  wApp& app = *App();
  if (app.mDpi == 0) {
    const ScreenDc screen;
    app.mDpi = gdi32::GetDeviceCaps(screen.get(), LOGPIXELSY);
  }
  return app.mDpi;
}

}  // namespace windowhost
