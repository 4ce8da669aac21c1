// The bench's launcher marks: each step in the trace file, each frame to SciTE and the
// companion's start and end through wrappers put into the bound slots that carry them.
#include <algorithm>
#include <string>
#include <utility>

#include "director/win32/bindings.h"
#include "launcher/win32/syscalls.h"
#include "launcher/win32/trace.h"
#include "platform/win32/trace.h"

namespace launcher {

namespace {

// Opened at the first mark, the program's first step.
const platform::TraceMark& trace() {
  static const platform::TraceMark opened = platform::traceNamedBy("WEBSEARCH_TRACE");
  return opened;
}

void mark(std::string_view step) noexcept {
  try {
    trace()(step);
  } catch (...) {  // a trace that cannot be written leaves the run alone
  }
}

// The slots' own functions, kept when the wrappers take their places. This build only.
decltype(director::user32::SendMessageW) sendToScite = nullptr;
decltype(kernel32::CreateProcessW) createProcess = nullptr;
decltype(kernel32::WaitForSingleObject) waitFor = nullptr;

// A frame's command up to its first blank ("extender:dostring", "askproperty:extender.result").
[[nodiscard]] std::string frameName(LPARAM frame) {
  const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(frame);
  if (data == nullptr || data->lpData == nullptr || data->cbData == 0) {
    return "frame";
  }
  const std::string_view text(static_cast<const char*>(data->lpData), data->cbData - 1);
  const std::size_t start = text.find(':', 1) == std::string_view::npos ? 0 : text.find(':', 1) + 1;
  const std::string_view command = text.substr(start, std::min<std::size_t>(40, text.size()));
  return "frame " + std::string(command.substr(0, command.find_first_of(" \\\r\n")));
}

void markFrame(UINT message, LPARAM frame, std::string_view what) noexcept {
  try {
    mark((message == WM_COPYDATA ? frameName(frame) : "message") + " " + std::string(what));
  } catch (...) {
  }
}

LRESULT WINAPI tracedSend(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  markFrame(message, lParam, "sent");
  const LRESULT result = sendToScite(window, message, wParam, lParam);
  markFrame(message, lParam, "taken");
  return result;
}

BOOL WINAPI tracedCreate(LPCWSTR application, LPWSTR commandLine, LPSECURITY_ATTRIBUTES process,
                         LPSECURITY_ATTRIBUTES thread, BOOL inherit, DWORD flags,
                         LPVOID environment, LPCWSTR folder, LPSTARTUPINFOW startup,
                         LPPROCESS_INFORMATION info) {
  mark("CreateProcessW called");
  const BOOL created = createProcess(application, commandLine, process, thread, inherit, flags,
                                     environment, folder, startup, info);
  mark("CreateProcessW returned");
  return created;
}

DWORD WINAPI tracedWait(HANDLE handle, DWORD milliseconds) {
  const DWORD result = waitFor(handle, milliseconds);
  mark("companion ended");
  return result;
}

}  // namespace

void markStep(std::string_view step) noexcept {
  mark(step);
}

void markBound(std::string_view library) noexcept {
  try {
    mark(std::string(library) + " bound");
  } catch (...) {
  }
}

void markSystemCalls() noexcept {
  sendToScite = std::exchange(director::user32::SendMessageW, tracedSend);
  createProcess = std::exchange(kernel32::CreateProcessW, tracedCreate);
  waitFor = std::exchange(kernel32::WaitForSingleObject, tracedWait);
}

}  // namespace launcher
