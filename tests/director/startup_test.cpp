// The client's own start-up under Wine: the hidden receiver frame, and SciTE's answers reaching
// the reply handler through the window host, bad ones included. Built twice: with the full
// start the launcher uses, and with RECEIVER_ONLY the light one of the companion, whose receiver
// is a message-only window of its own.
#include "director/win32/startup.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "director/operations.h"
#include "director/snippets.h"
#include "director/win32/bindings.h"
#include "director/win32/channel.h"
#include "director/win32/discovery.h"
#include "harness.h"
#include "platform/re.h"
#include "platform/win32/winstr.h"
#include "tests/support/slot_swap.h"
#include "windowhost/bindings.h"

namespace {

using namespace std::string_literals;

#ifdef RECEIVER_ONLY
std::unique_ptr<windowhost::wReceiver> receiver;
#endif

std::vector<std::wstring> messageBoxes;

int WINAPI recordMessageBox(HWND, LPCWSTR text, LPCWSTR, UINT) {
  messageBoxes.emplace_back(text);
  return IDOK;
}

class Startup : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
#ifdef RECEIVER_ONLY
    for (const platform::BindingGroup* group : director::receiverBindingGroups()) {
      platform::bindGroup(*group);
    }
    receiver = director::startReceiverModule();
#else
    platform::bindGroup(platform::textConversionBindings());
    for (const platform::BindingGroup& group : windowhost::bindingGroups()) {
      platform::bindGroup(group);
    }
    platform::bindGroups({&platform::pcreBindings(), &director::user32::bindings()});
    director::initModule();
#endif
  }

  void SetUp() override {
    director::received.clear();
    messageBoxes.clear();
  }

  // A reply as SciTE's SendMessageW hands it to the receiver.
  static LRESULT deliver(DWORD cbData, void* data) {
    COPYDATASTRUCT reply{0, cbData, data};
    return SendMessageW(director::hRecv, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&reply));
  }
};

TEST_F(Startup, LeavesAHiddenReceiverAndFreshState) {
  ASSERT_NE(director::hRecv, nullptr);
#ifdef RECEIVER_ONLY
  EXPECT_EQ(director::hRecv, receiver->hwnd());
  EXPECT_EQ(director::recvFrame, nullptr);
  // Message-only: among HWND_MESSAGE's children.
  EXPECT_EQ(FindWindowExW(HWND_MESSAGE, nullptr, L"DirectorReceiver", nullptr), director::hRecv);
#else
  EXPECT_EQ(director::hRecv, director::recvFrame->mHwnd);
#endif
  EXPECT_FALSE(IsWindowVisible(director::hRecv));
  EXPECT_EQ(director::interfaceVersion, "1.0");
  EXPECT_TRUE(director::received.empty());
  EXPECT_TRUE(director::sEnumWnd.empty());
  EXPECT_TRUE(director::classfilter.empty());
  EXPECT_TRUE(director::titlefilter.empty());
  std::array<wchar_t, 64> title{};
  GetWindowTextW(director::hRecv, title.data(), static_cast<int>(title.size()));
  EXPECT_EQ(std::wstring(title.data()), L"Velk-SciTE interface");
}

#ifdef RECEIVER_ONLY
// The receiver-only start is the light one: the common controls' library, which takes long to
// load, is never touched, and nothing on the reply path needs it.
TEST_F(Startup, AReceiverOnlyClientLeavesTheCommonControlsUnloaded) {
  EXPECT_EQ(GetModuleHandleW(L"comctl32.dll"), nullptr);
  EXPECT_EQ(windowhost::comctl32::InitCommonControlsEx, nullptr);
  // Nor does it bind the pattern engine: its first pattern does (platform::re).
  for (const platform::BindingGroup* group : director::receiverBindingGroups()) {
    EXPECT_NE(group->library, platform::pcreBindings().library);
  }
}
#endif

TEST_F(Startup, RepliesReachTheHandlerAndAreAnsweredWithZero) {
  director::pattern = platform::re(director::kReplyPrefixPattern);
  std::string reply = ":612:macro:stringinfo:hello";
  EXPECT_EQ(deliver(static_cast<DWORD>(reply.size()), reply.data()), 0);
  EXPECT_EQ(director::received, "hello");
  // A sender that counts bytes but passes none: an empty reply.
  director::received = "stale";
  EXPECT_EQ(deliver(8, nullptr), 0);
  EXPECT_EQ(director::received, "");
  EXPECT_TRUE(messageBoxes.empty());
}

TEST_F(Startup, AnOversizedReplyIsReportedAndTheProgramGoesOn) {
  const test_support::SlotSwap<windowhost::user32::MessageBoxW> box(&recordMessageBox);
  std::string reply = "abc";
  director::received = "stale";
  (void)deliver(0x80000000u, reply.data());
  EXPECT_EQ(director::received, "");
#ifdef RECEIVER_ONLY
  // Nothing shown: a box of a program with no window of its own would hold SciTE's send.
  EXPECT_TRUE(messageBoxes.empty());
#else
  ASSERT_EQ(messageBoxes.size(), 1u);
  EXPECT_NE(messageBoxes[0].find(L"[RangeError]"), std::wstring::npos);
#endif
  // The receiver still works.
  director::pattern = platform::re(director::kReplyPrefixPattern);
  EXPECT_EQ(deliver(static_cast<DWORD>(reply.size()), reply.data()), 0);
  EXPECT_EQ(director::received, "abc");
}

TEST_F(Startup, TheSelectionArrivesThroughTheReceiverFrame) {
  standin::Options options;
  options.document = "find these words";
  options.anchor = 5;
  options.caret = 16;
  standin::StandInRun run(options);
  director::LuaSelection selection;
  director::LuaFuncGet(director::LuaGetSelection, director::ParseLuaSelection, "", selection);
  EXPECT_EQ(selection.text, "these words");
  EXPECT_EQ(selection.length, 11);
  EXPECT_TRUE(messageBoxes.empty());
}

}  // namespace
