// The trace's file opened once, a step a line, the times read from the system's clock.
#include "platform/win32/trace.h"

#include <cstdint>
#include <memory>
#include <string>

#include "platform/binding.h"
#include "platform/file.h"
#include "platform/trace_line.h"
#include "platform/win32/win32.h"

// clang-format off
#define PLATFORM_TRACE_FUNCTIONS(X) \
  X(GetEnvironmentVariableW) X(GetCurrentProcess) X(GetCurrentProcessId) X(GetProcessTimes) \
  X(GetSystemTimeAsFileTime) X(GetLastError) X(SetLastError)
// clang-format on

// kernel32 is in every process: binding these costs no library load.
PLATFORM_BINDING_GROUP(platform::tracing, "kernel32", PLATFORM_TRACE_FUNCTIONS)

namespace platform {

namespace {

// 100-nanosecond ticks from 1601 to 1970.
constexpr std::int64_t kTicksBefore1970 = 116'444'736'000'000'000;

[[nodiscard]] std::int64_t nanosecondsSince1970(const FILETIME& time) noexcept {
  const auto ticks = static_cast<std::int64_t>(
      (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
  return (ticks - kTicksBefore1970) * 100;
}

[[nodiscard]] WString environmentVariable(std::string_view name) {
  const WString wideName(name.begin(), name.end());  // the names asked for are ASCII
  WString value(tracing::GetEnvironmentVariableW(wideName.c_str(), nullptr, 0), WCHAR{});
  value.resize(tracing::GetEnvironmentVariableW(wideName.c_str(), value.data(),
                                                static_cast<DWORD>(value.size())));
  return value;
}

[[nodiscard]] std::int64_t processCreated() noexcept {
  FILETIME created{};
  FILETIME ended{};
  FILETIME kernel{};
  FILETIME user{};
  (void)tracing::GetProcessTimes(tracing::GetCurrentProcess(), &created, &ended, &kernel, &user);
  return nanosecondsSince1970(created);
}

void writeStep(std::FILE* file, const std::string& pid, std::int64_t at, std::string_view step) {
  const std::string line = traceLine(at, pid, step);
  (void)std::fwrite(line.data(), 1, line.size(), file);
}

void markNothing(std::string_view /*step*/) {}

}  // namespace

TraceMark traceNamedBy(std::string_view variable) {
  if (tryBindGroup(tracing::bindings())) {
    return markNothing;
  }
  const WString path = environmentVariable(variable);
  if (path.empty()) {
    return markNothing;
  }
  std::shared_ptr<std::FILE> file = openToAppend(path);
  if (!file) {
    return markNothing;
  }
  const std::string pid = std::to_string(tracing::GetCurrentProcessId());
  writeStep(file.get(), pid, processCreated(), "process created");
  return [file = std::move(file), pid](std::string_view step) {
    // A mark between a failed call and the read of its last error must not change that.
    const DWORD lastError = tracing::GetLastError();
    FILETIME now{};
    tracing::GetSystemTimeAsFileTime(&now);
    writeStep(file.get(), pid, nanosecondsSince1970(now), step);
    tracing::SetLastError(lastError);
  };
}

}  // namespace platform
