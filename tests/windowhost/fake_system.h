// A scripted Windows behind the window host's slots: records what the host asks for and
// answers as the knobs say. Windows that get destroyed receive WM_DESTROY and WM_NCDESTROY
// through the host's window procedure, as real ones do.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/win32.h"
#include "tests/support/slot_swap.h"
#include "windowhost/wEvent.h"
#include "windowhost/wFrame.h"

namespace windowhost_test {

// What the host asked of the system, compared as whole records.
struct CreatedWindow {
  DWORD exStyle = 0;
  std::string className{};
  std::string title{};
  bool titleNull = false;
  DWORD style = 0;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  HWND parent{};
  HMENU menu{};
  HINSTANCE instance{};
  void* param = nullptr;
  HWND result{};

  bool operator==(const CreatedWindow&) const = default;
};

struct RegisteredClass {
  std::string name{};
  UINT cbSize = 0;
  UINT style = 0;
  WNDPROC wndProc = nullptr;
  int classExtra = 0;
  int windowExtra = 0;
  HINSTANCE instance{};
  HICON icon{};
  HCURSOR cursor{};
  HBRUSH background{};
  bool menuNameNull = false;
  HICON smallIcon{};

  bool operator==(const RegisteredClass&) const = default;
};

struct Placement {
  HWND hwnd{};
  HWND insertAfter{};
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  UINT flags = 0;

  bool operator==(const Placement&) const = default;
};

struct MessageRecord {
  HWND hwnd{};
  UINT msg = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;

  bool operator==(const MessageRecord&) const = default;
};

struct MessageBoxRecord {
  HWND owner{};
  std::string text{};
  std::string caption{};
  UINT type = 0;

  bool operator==(const MessageBoxRecord&) const = default;
};

inline constexpr LRESULT kDefaultResult = 0xDEF;
inline constexpr DWORD kSysColor = 0x00ABCDEF;
inline constexpr int kDpi = 120;

[[nodiscard]] inline HINSTANCE fakeInstance() noexcept {
  return reinterpret_cast<HINSTANCE>(std::uintptr_t{0x400000});
}

// One at a time: it is reached from the captureless fakes through a single pointer. It resets
// the application object when it starts and again before it gives the slots back.
class FakeSystem {
public:
  FakeSystem();
  FakeSystem(const FakeSystem&) = delete;
  FakeSystem& operator=(const FakeSystem&) = delete;
  ~FakeSystem();

  // Knobs.
  bool failRegister = false;
  bool failCreate = false;
  bool failBrush = false;
  bool failFont = false;
  bool failMetrics = false;
  bool hasNtdll = true;
  bool hasRtlGetVersion = true;
  bool hasComctl = true;
  bool hasDllGetVersion = true;
  DWORD comctlMajor = 6;
  bool sizeDuringCreate = false;  // sends WM_SIZE to the window being created
  std::set<std::string> registeredClasses;

  // Records.
  DWORD iccSize = 0;
  DWORD iccClasses = 0;
  int commonControlInits = 0;
  int oleInits = 0;
  std::vector<std::string> loadedLibraries;
  int freedLibraries = 0;
  DWORD versionInfoSize = 0;
  DWORD dllVersionInfoSize = 0;
  int screenDcs = 0;
  int releasedDcs = 0;
  std::vector<int> sysColorIndexes;
  std::vector<LOGBRUSH> brushes;
  int deletedObjects = 0;
  std::vector<LOGFONTW> fonts;
  UINT metricsAction = 0;
  UINT metricsParam = 0;
  UINT metricsSize = 0;
  std::vector<ULONG_PTR> cursorIds;
  std::vector<RegisteredClass> classes;
  std::vector<CreatedWindow> created;
  std::vector<MessageRecord> sent;
  std::vector<MessageRecord> posted;
  std::vector<Placement> placements;
  std::vector<HWND> updated;
  std::vector<HWND> destroyed;
  std::vector<MessageRecord> defaults;
  std::vector<MessageBoxRecord> boxes;
  int keyboardReads = 0;
  std::vector<std::pair<UINT, DWORD>> conversions;  // code page, flags

  [[nodiscard]] bool reachedDefault(HWND hwnd, UINT msg) const;

private:
  test_support::SlotSwaps swaps_;
  std::uintptr_t nextHandle_ = 0x1000;
};

// A frame made as the director client makes its receiver.
[[nodiscard]] std::shared_ptr<windowhost::wFrame> receiverFrame(
    std::string_view title = "Velk-SciTE interface");

// Sends one message through the host's window procedure.
LRESULT send(const windowhost::wWindow& window, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

}  // namespace windowhost_test
