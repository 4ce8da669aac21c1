// Child processes through CreateProcessW.
#include "launcher/win32/process.h"

#include "launcher/win32/oserror.h"
#include "launcher/win32/syscalls.h"
#include "platform/owner.h"
#include "platform/text.h"

namespace launcher {

namespace {

constexpr DWORD kErrorInvalidParameter = 87;

using UniqueHandle = platform::Unique<HANDLE, kernel32::CloseHandle>;

// The standard handles go into the record, but its flags stay 0, so the system does not take
// them: the child simply shares the caller's console.
[[nodiscard]] STARTUPINFOW startupRecord() {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.hStdInput = kernel32::GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = kernel32::GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = kernel32::GetStdHandle(STD_ERROR_HANDLE);
  startup.dwFlags = 0;
  return startup;
}

}  // namespace

std::int64_t execCmd(std::string_view commandLine) {
  // The system reads the command line only up to a NUL, so it would start something other than
  // what was asked for.
  if (commandLine.find('\0') != std::string_view::npos) {
    raiseOSError(static_cast<std::int32_t>(kErrorInvalidParameter));
  }
  STARTUPINFOW startup = startupRecord();
  // CreateProcessW may write into the command line, so it gets a copy of its own.
  WString writable = platform::toUtf16(commandLine);
  PROCESS_INFORMATION info{};
  if (kernel32::CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE,
                               NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &info) == 0) {
    raiseOSError(osLastError());
  }
  const UniqueHandle process(info.hProcess);
  UniqueHandle thread(info.hThread);
  thread.reset();  // nothing here needs the child's thread

  if (kernel32::WaitForSingleObject(process.get(), INFINITE) == WAIT_FAILED) {
    return -1;
  }
  DWORD exitCode = 0;
  static_cast<void>(kernel32::GetExitCodeProcess(process.get(), &exitCode));
  return static_cast<std::int32_t>(exitCode);
}

}  // namespace launcher
