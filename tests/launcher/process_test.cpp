// execCmd against a fake system: the exact start-up request, handle order and exit-code reading.
#include "launcher/win32/process.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "launcher/win32/syscalls.h"
#include "platform/errors.h"
#include "tests/support/slot_swap.h"
#include "tests/support/text.h"

namespace {

using launcher::execCmd;
using test_support::SlotSwap;
using test_support::wide;

HANDLE fakeHandle(std::uintptr_t value) {
  return reinterpret_cast<HANDLE>(value);
}

const HANDLE kProcess = fakeHandle(0x50);
const HANDLE kThread = fakeHandle(0x60);

struct FakeSystem {
  static inline std::vector<std::string> calls;
  static inline BOOL createResult = TRUE;
  static inline DWORD lastError = 0;
  static inline DWORD waitResult = 0;
  static inline DWORD exitCode = 0;
  static inline WString commandLine;
  static inline STARTUPINFOW startup{};
  static inline bool requestExact = false;

  static void reset() {
    calls.clear();
    createResult = TRUE;
    lastError = 0;
    waitResult = 0;
    exitCode = 0;
    commandLine.clear();
    startup = {};
    requestExact = false;
  }

  static HANDLE WINAPI getStdHandle(DWORD which) {
    // -10, -11, -12 become 10, 11, 12: recognisable in the startup record.
    return fakeHandle(static_cast<std::uintptr_t>(-std::int64_t{static_cast<std::int32_t>(which)}));
  }

  static BOOL WINAPI createProcess(LPCWSTR application, LPWSTR command,
                                   LPSECURITY_ATTRIBUTES processAttributes,
                                   LPSECURITY_ATTRIBUTES threadAttributes, BOOL inherit,
                                   DWORD flags, LPVOID environment, LPCWSTR directory,
                                   LPSTARTUPINFOW startupInfo, LPPROCESS_INFORMATION info) {
    calls.emplace_back("create");
    requestExact = application == nullptr && processAttributes == nullptr &&
                   threadAttributes == nullptr && inherit == FALSE && flags == 0x20 &&
                   environment == nullptr && directory == nullptr;
    commandLine = command;
    if (command[0] != 0) {
      command[0] = static_cast<WCHAR>('!');  // the system may write into it
    }
    startup = *startupInfo;
    if (createResult == FALSE) {
      return FALSE;
    }
    *info = PROCESS_INFORMATION{kProcess, kThread, 1234, 5678};
    return TRUE;
  }

  static BOOL WINAPI closeHandle(HANDLE handle) {
    calls.emplace_back(handle == kProcess  ? "close process"
                       : handle == kThread ? "close thread"
                                           : "close other");
    return TRUE;
  }

  static DWORD WINAPI waitForSingleObject(HANDLE handle, DWORD milliseconds) {
    calls.emplace_back(handle == kProcess && milliseconds == 0xFFFFFFFF ? "wait" : "wait other");
    return waitResult;
  }

  static BOOL WINAPI getExitCodeProcess(HANDLE handle, LPDWORD code) {
    calls.emplace_back(handle == kProcess ? "exit code" : "exit code other");
    *code = exitCode;
    return FALSE;  // ignored
  }

  static DWORD WINAPI getLastError() { return lastError; }

  static DWORD WINAPI formatMessage(DWORD, LPCVOID, DWORD, DWORD, LPWSTR, DWORD, va_list*) {
    return 0;
  }
};

class ExecCmd : public ::testing::Test {
protected:
  void SetUp() override { FakeSystem::reset(); }

  SlotSwap<launcher::kernel32::GetStdHandle> std_{&FakeSystem::getStdHandle};
  SlotSwap<launcher::kernel32::CreateProcessW> create_{&FakeSystem::createProcess};
  SlotSwap<launcher::kernel32::CloseHandle> close_{&FakeSystem::closeHandle};
  SlotSwap<launcher::kernel32::WaitForSingleObject> wait_{&FakeSystem::waitForSingleObject};
  SlotSwap<launcher::kernel32::GetExitCodeProcess> exit_{&FakeSystem::getExitCodeProcess};
  SlotSwap<launcher::kernel32::GetLastError> lastError_{&FakeSystem::getLastError};
  SlotSwap<launcher::kernel32::FormatMessageW> format_{&FakeSystem::formatMessage};
};

TEST_F(ExecCmd, AsksForTheChildExactlyAsRequired) {
  static_cast<void>(execCmd(R"("C:\Tools\websearch.exe" foo bar)"));
  EXPECT_TRUE(FakeSystem::requestExact);
  EXPECT_EQ(FakeSystem::commandLine, wide(uR"("C:\Tools\websearch.exe" foo bar)"));

  const STARTUPINFOW& s = FakeSystem::startup;
  EXPECT_EQ(s.cb, sizeof(STARTUPINFOW));
  EXPECT_EQ(s.dwFlags, 0u);
  EXPECT_EQ(s.hStdInput, fakeHandle(10));
  EXPECT_EQ(s.hStdOutput, fakeHandle(11));
  EXPECT_EQ(s.hStdError, fakeHandle(12));
  EXPECT_EQ(s.lpReserved, nullptr);
  EXPECT_EQ(s.lpDesktop, nullptr);
  EXPECT_EQ(s.lpTitle, nullptr);
  EXPECT_EQ(s.wShowWindow, 0);
  EXPECT_EQ(s.cbReserved2, 0);
  EXPECT_EQ(s.lpReserved2, nullptr);
}

TEST_F(ExecCmd, ClosesTheThreadAtOnceAndTheProcessLast) {
  static_cast<void>(execCmd("x.exe"));
  EXPECT_EQ(FakeSystem::calls, (std::vector<std::string>{"create", "close thread", "wait",
                                                         "exit code", "close process"}));
}

TEST_F(ExecCmd, ReturnsTheExitCodeReadAsSigned) {
  const std::pair<DWORD, std::int64_t> cases[] = {
      {0, 0}, {5, 5}, {0xFFFFFFFF, -1}, {0xC0000005, -1073741819}, {0x7FFFFFFF, 2147483647},
  };
  for (const auto& [code, expected] : cases) {
    FakeSystem::exitCode = code;
    EXPECT_EQ(execCmd("x.exe"), expected) << code;
  }
}

TEST_F(ExecCmd, FailedWaitGivesMinusOneAndStillClosesTheProcess) {
  FakeSystem::waitResult = 0xFFFFFFFF;
  FakeSystem::exitCode = 7;
  EXPECT_EQ(execCmd("x.exe"), -1);
  EXPECT_EQ(FakeSystem::calls,
            (std::vector<std::string>{"create", "close thread", "wait", "close process"}));
}

TEST_F(ExecCmd, ChildThatCannotStartRaisesWithTheLastError) {
  FakeSystem::createResult = FALSE;
  FakeSystem::lastError = 193;
  try {
    static_cast<void>(execCmd("broken.exe"));
    FAIL() << "no error raised";
  } catch (const platform::OSError& error) {
    EXPECT_EQ(error.errorCode(), 193);
    EXPECT_EQ(error.message(), "unknown OS error");  // the fake system has no texts
  }
  EXPECT_EQ(FakeSystem::calls, std::vector<std::string>{"create"});
}

TEST_F(ExecCmd, CommandLineIsConvertedAndBadBytesBecomeReplacementCharacters) {
  const std::pair<std::string_view, std::u16string_view> cases[] = {
      {"w.exe caf\xC3\xA9 \xE4\xB8\xAD \xF0\x9F\x98\x80", u"w.exe caf\u00E9 \u4E2D \U0001F600"},
      {"w.exe \xFF\xC3", u"w.exe \uFFFD\uFFFD"},
      {"w.exe \xED\xA0\x80", u"w.exe \uFFFD"},
      {"w.exe \"a b\" \\\"", u"w.exe \"a b\" \\\""},
      {"", u""},
  };
  for (const auto& [command, expected] : cases) {
    static_cast<void>(execCmd(command));
    EXPECT_EQ(FakeSystem::commandLine, wide(expected));
  }
}

TEST_F(ExecCmd, EmbeddedNulIsRefusedRatherThanCut) {
  try {
    static_cast<void>(execCmd(std::string_view("w.exe a\0rm", 10)));
    FAIL() << "no error raised";
  } catch (const platform::OSError& error) {
    EXPECT_EQ(error.errorCode(), 87);
  }
  EXPECT_TRUE(FakeSystem::calls.empty());
}

}  // namespace
