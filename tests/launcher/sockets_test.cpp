// Socket start-up and the optional address formatter.
#include "launcher/win32/sockets.h"

#include <gtest/gtest.h>

#include "launcher/win32/syscalls.h"
#include "platform/errors.h"
#include "tests/support/slot_swap.h"

namespace {

using test_support::SlotSwap;

struct FakeSockets {
  static inline int result = 0;
  static inline WORD version = 0;
  static inline bool gotData = false;

  static int WINAPI startup(WORD requested, LPWSADATA data) {
    version = requested;
    gotData = data != nullptr;
    return result;
  }
  static DWORD WINAPI getLastError() { return 0; }
  static DWORD WINAPI formatMessage(DWORD, LPCVOID, DWORD, DWORD, LPWSTR, DWORD, va_list*) {
    return 0;
  }
};

class StartSockets : public ::testing::Test {
protected:
  SlotSwap<launcher::ws2_32::WSAStartup> startup_{&FakeSockets::startup};
  SlotSwap<launcher::kernel32::GetLastError> lastError_{&FakeSockets::getLastError};
  SlotSwap<launcher::kernel32::FormatMessageW> format_{&FakeSockets::formatMessage};
};

TEST_F(StartSockets, AsksForVersionOneOneAndMarksInvalidSocketsAllOnes) {
  FakeSockets::result = 0;
  launcher::startSockets();
  EXPECT_EQ(FakeSockets::version, 0x0101);
  EXPECT_TRUE(FakeSockets::gotData);
  EXPECT_EQ(launcher::invalidSocket, ~SOCKET{0});
}

TEST_F(StartSockets, RefusalRaisesWithTheCodeTheLibraryGave) {
  FakeSockets::result = 10091;  // the network subsystem is not ready
  try {
    launcher::startSockets();
    FAIL() << "no error raised";
  } catch (const platform::OSError& error) {
    EXPECT_EQ(error.errorCode(), 10091);
  }
}

TEST(BindInetNtop, FillsTheSlotOnlyWhereTheSystemHasIt) {
  const SlotSwap<launcher::ws2_32::inet_ntop> slot(nullptr);
  launcher::bindInetNtop();
#ifdef _WIN32
  EXPECT_NE(launcher::ws2_32::inet_ntop, nullptr);
#else
  EXPECT_EQ(launcher::ws2_32::inet_ntop, nullptr);
#endif
}

}  // namespace
