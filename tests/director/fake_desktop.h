// A scripted set of top-level windows behind the director client's user32 slots, with a
// recording stand-in for SciTE's director window that can answer frames as SciTE would.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "director/win32/bindings.h"
#include "platform/re.h"
#include "platform/win32/win32.h"
#include "tests/support/slot_swap.h"
#include "tests/support/text.h"

namespace director_test {

struct FakeWindow {
  std::uintptr_t id = 0;
  WString className;
  WString title;
  std::uintptr_t parent = 0;
  DWORD pid = 0;
  DWORD tid = 0;
};

// One WM_COPYDATA as the director window received it.
struct SentFrame {
  HWND target{};
  std::string bytes{};  // all cbData bytes
  DWORD cbData = 0;
  ULONG_PTR dwData = 0;
  WPARAM wParam = 0;

  bool operator==(const SentFrame&) const = default;
};

// A reply the fake director sends back while the frame's SendMessageW is still running.
struct FakeReply {
  std::string bytes;
  std::optional<DWORD> cbData;  // defaults to the size of `bytes`
  bool nullData = false;
};

[[nodiscard]] inline HWND handle(std::uintptr_t id) noexcept {
  return reinterpret_cast<HWND>(id);
}
using test_support::wide;

// Installs itself in the slots while it lives; one at a time.
class FakeDesktop {
public:
  FakeDesktop();
  FakeDesktop(const FakeDesktop&) = delete;
  FakeDesktop& operator=(const FakeDesktop&) = delete;
  ~FakeDesktop();

  std::vector<FakeWindow> windows;  // in enumeration order
  std::uintptr_t foreground = 0;
  std::vector<SentFrame> frames;
  // Called for each frame's command text (after ":<hRecv>:"); a reply goes to the reply handler.
  std::function<std::optional<FakeReply>(const std::string& command)> answer;
  LRESULT sendResult = 0;

  std::vector<std::uintptr_t> classLookups;      // windows whose class name was read
  std::vector<int> titleCapacities;              // capacity passed with each title read
  std::vector<std::pair<bool, bool>> findCalls;  // FindWindowW: (class given, name given)

  // The command texts of every frame so far, without the address prefix and the NUL.
  [[nodiscard]] std::vector<std::string> commands() const;
  // The typical SciTE: main window and director window of process 100, main in the foreground.
  void addSciTE(std::uintptr_t mainId = 10, std::uintptr_t directorId = 11, DWORD pid = 100);

  [[nodiscard]] static FakeDesktop& current();
  [[nodiscard]] const FakeWindow* find(HWND window) const;

private:
  test_support::SlotSwap<director::user32::GetForegroundWindow> foreground_;
  test_support::SlotSwap<director::user32::FindWindowW> findWindow_;
  test_support::SlotSwap<director::user32::GetWindowThreadProcessId> threadProcess_;
  test_support::SlotSwap<director::user32::EnumWindows> enumWindows_;
  test_support::SlotSwap<director::user32::GetParent> getParent_;
  test_support::SlotSwap<director::user32::GetWindowTextLengthW> titleLength_;
  test_support::SlotSwap<director::user32::GetWindowTextW> title_;
  test_support::SlotSwap<director::user32::GetClassNameW> className_;
  test_support::SlotSwap<director::user32::SendMessageW> sendMessage_;
};

// Binds the pattern engine once per process; the channel and the operations need it.
void bindPatternEngine();

// Saves the client's module state and restores it, so tests do not leak into each other.
class ClientStateGuard {
public:
  ClientStateGuard();
  ClientStateGuard(const ClientStateGuard&) = delete;
  ClientStateGuard& operator=(const ClientStateGuard&) = delete;
  ~ClientStateGuard();

private:
  HWND recv_;
  std::string received_;
  std::optional<platform::Regex> pattern_;
  bool debug_;
};

}  // namespace director_test
