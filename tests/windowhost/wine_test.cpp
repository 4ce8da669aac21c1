// The window host with real windows: the bound system groups, a hidden frame, WM_COPYDATA from
// another process, and a failing handler's message box (recorded, a real one would block).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/binding.h"
#include "platform/errors.h"
#include "platform/text.h"
#include "platform/win32/winstr.h"
#include "tests/support/slot_swap.h"
#include "tests/support/text.h"
#include "windowhost/bindings.h"
#include "windowhost/wApp.h"
#include "windowhost/wFrame.h"

namespace windowhost_test {
namespace {

using namespace windowhost;
using test_support::wide;

void bindOnce() {
  static const bool bound = [] {
    platform::bindGroup(platform::textConversionBindings());
    for (const platform::BindingGroup& group : bindingGroups()) {
      platform::bindGroup(group);
    }
    return true;
  }();
  (void)bound;
}

std::shared_ptr<wFrame> newFrame(const std::string& title, std::string_view className) {
  auto frame = std::make_shared<wFrame>();
  init(frame, nullptr, title, {kDefault, kDefault}, {320, 220}, 0xCF0000, className);
  return frame;
}

std::string classOf(HWND hwnd) {
  wchar_t name[256] = {};
  GetClassNameW(hwnd, name, 256);
  return platform::toUtf8(name);
}

std::string titleOf(HWND hwnd) {
  wchar_t text[256] = {};
  GetWindowTextW(hwnd, text, 256);
  return platform::toUtf8(text);
}

// Records which messages reach DefWindowProcW and passes them on to the real one.
struct DefaultRecorder {
  static inline decltype(user32::DefWindowProcW) real = nullptr;
  static inline std::vector<std::pair<HWND, UINT>> seen;

  static bool saw(HWND hwnd, UINT msg) {
    for (const auto& [h, m] : seen) {
      if (h == hwnd && m == msg) {
        return true;
      }
    }
    return false;
  }
};

class RealWindows : public ::testing::Test {
protected:
  void SetUp() override {
    bindOnce();
    DefaultRecorder::real = user32::DefWindowProcW;
    DefaultRecorder::seen.clear();
    swaps_.swap(user32::DefWindowProcW,
                [](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
                  DefaultRecorder::seen.emplace_back(hwnd, msg);
                  return DefaultRecorder::real(hwnd, msg, wParam, lParam);
                });
  }

  test_support::SlotSwaps swaps_;
};

// Runs a program and dispatches the messages sent to this thread until it ends.
DWORD runPumping(const std::wstring& commandLine) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::wstring mutableLine = commandLine;
  if (!CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    ADD_FAILURE() << "CreateProcessW failed: " << GetLastError();
    return 0xFFFFFFFF;
  }
  CloseHandle(process.hThread);
  const ULONGLONG deadline = GetTickCount64() + 30000;
  DWORD exitCode = 0xFFFFFFFF;
  for (;;) {
    const DWORD woke = MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 100, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (woke == WAIT_OBJECT_0) {
      GetExitCodeProcess(process.hProcess, &exitCode);
      break;
    }
    if (GetTickCount64() > deadline) {
      ADD_FAILURE() << "the sender did not end";
      TerminateProcess(process.hProcess, 1);
      break;
    }
  }
  CloseHandle(process.hProcess);
  return exitCode;
}

std::wstring senderPath() {
  wchar_t own[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, own, MAX_PATH);
  std::wstring path(own);
  path.erase(path.find_last_of(L"\\/") + 1);
  return path + L"copydata_sender.exe";
}

// First in this file: numbering starts with the first frame of the process.
TEST_F(RealWindows, FramesAreHiddenTopLevelWindowsOfNumberedClasses) {
  const auto app = App();
  EXPECT_EQ(App(), app);
  EXPECT_EQ(app->mInstance, GetModuleHandleW(nullptr));
  EXPECT_GT(app->mWinVersion, 5.0);

  const auto first = newFrame("Velk-SciTE interface", "wFrame");
  const auto second = newFrame("second frame", "wFrame");

  EXPECT_EQ(classOf(first->mHwnd), "wFrame1");
  EXPECT_EQ(classOf(second->mHwnd), "wFrame2");
  EXPECT_EQ(titleOf(first->mHwnd), "Velk-SciTE interface");
  EXPECT_FALSE(IsWindowVisible(first->mHwnd));
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(first->mHwnd, GWL_STYLE));
  EXPECT_EQ(style & WS_VISIBLE, 0u);
  EXPECT_EQ(style & WS_CLIPCHILDREN, static_cast<DWORD>(WS_CLIPCHILDREN));
  EXPECT_EQ(style & WS_CHILD, 0u);
  EXPECT_EQ(GetParent(first->mHwnd), nullptr);
  EXPECT_EQ(app->mWindowTable.at(first->mHwnd), first);
  EXPECT_EQ(app->mTopLevelWindowTable.at(first->mHwnd), first);
  RECT outer{};
  GetWindowRect(first->mHwnd, &outer);
  EXPECT_EQ(outer.right - outer.left, 320);
  EXPECT_EQ(outer.bottom - outer.top, 220);
  ASSERT_TRUE(first->mFont);
  EXPECT_NE(first->mFont->handle(), nullptr);
}

TEST_F(RealWindows, CopyDataFromAnotherProcessRunsTheHandlerOnce) {
  const std::string title = "windowhost-test " + std::to_string(GetCurrentProcessId());
  const auto frame = newFrame(title, "wReceiver");
  int runs = 0;
  std::string received;
  LRESULT answer = 0;
  connect(
      frame, WM_COPYDATA,
      [&](wEvent& event) {
        ++runs;
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(event.mLparam);
        received.assign(static_cast<const char*>(data->lpData), data->cbData);
        event.mResult = answer;
      },
      0);
  const std::wstring command = L"\"" + senderPath() + L"\" \"" + wide(title) + L"\" ";

  EXPECT_EQ(runPumping(command + L":42:macro:stringinfo:selected"), 0u);
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(received, ":42:macro:stringinfo:selected");
  EXPECT_FALSE(DefaultRecorder::saw(frame->mHwnd, WM_COPYDATA));

  // The handler's result is what the sender gets back.
  answer = 77;
  EXPECT_EQ(runPumping(command + L"again"), 77u);
  EXPECT_EQ(runs, 2);
  EXPECT_EQ(received, "again");
}

TEST_F(RealWindows, AFailingHandlerShowsTheMessageBox) {
  struct Box {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
  };
  static std::vector<Box> boxes;
  boxes.clear();
  swaps_.swap(user32::MessageBoxW, [](HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    boxes.push_back({owner, platform::toUtf8(text), platform::toUtf8(caption), type});
    return IDOK;
  });
  const auto frame = newFrame("failing handler", "wReceiver");
  constexpr UINT kProbe = WM_APP + 0x120;
  bool olderRan = false;
  connect(*frame, kProbe, [&](wEvent& event) {
    olderRan = true;
    event.mSkip = true;
  });
  connect(*frame, kProbe, [](wEvent&) { throw platform::ValueError("bad reply: \xC3\xA4"); });

  SendMessageW(frame->mHwnd, kProbe, 0, 0);

  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].owner, frame->mHwnd);
  EXPECT_EQ(boxes[0].text, "bad reply: \xC3\xA4 [ValueError]");
  EXPECT_EQ(boxes[0].caption, "Error: unhandled exception");
  EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_ICONERROR));
  EXPECT_TRUE(olderRan);
  EXPECT_TRUE(DefaultRecorder::saw(frame->mHwnd, kProbe));
}

TEST_F(RealWindows, DestroyingAFrameEndsItsObject) {
  auto frame = newFrame("short-lived", "wReceiver");
  const HWND hwnd = frame->mHwnd;
  const std::weak_ptr<wFrame> watch = frame;
  const auto app = App();
  const std::int64_t setFocusCount = app->mMessageCountTable.at(WM_SETFOCUS);

  EXPECT_TRUE(user32::DestroyWindow(hwnd));

  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_FALSE(app->mWindowTable.contains(hwnd));
  EXPECT_FALSE(app->mTopLevelWindowTable.contains(hwnd));
  EXPECT_TRUE(frame->mConnectionTable.empty());
  const auto it = app->mMessageCountTable.find(WM_SETFOCUS);
  EXPECT_EQ(it == app->mMessageCountTable.end() ? 0 : it->second, setFocusCount - 1);
  frame.reset();
  EXPECT_TRUE(watch.expired());
}

TEST_F(RealWindows, SystemConverterMatchesTheRunTimeConverter) {
  for (const std::string_view text :
       {std::string_view(""), std::string_view("wFrame1"), std::string_view("Velk-SciTE interface"),
        std::string_view("\xC3\xA4\xE2\x82\xAC"), std::string_view("\xF0\x9F\x98\x80 smile")}) {
    EXPECT_EQ(platform::wideFromUtf8(text), platform::toUtf16(text));
  }
}

}  // namespace
}  // namespace windowhost_test
