// The Windows shell's hand-over: an address through ShellExecuteExW inside a COM apartment, a
// program the user named through CreateProcessW, found by its full path.
#include "companion/win32/hand_over.h"

#include <algorithm>
#include <utility>

#include "companion/address/browser_command.h"
#include "companion/win32/bindings.h"
#include "companion/win32/program_line.h"
#include "platform/owner.h"
#include "platform/text.h"
#include "platform/win32/system_message.h"

namespace companion {

namespace {

// A single-threaded COM apartment for the calling thread while it lives, for the shell's
// protocol handlers that are COM servers. Left again only when it was entered: S_FALSE (already
// initialised) counts too, so that every success is balanced.
class ComApartment {
public:
  ComApartment() noexcept
      : entered_(ole32::CoInitializeEx(nullptr, static_cast<DWORD>(COINIT_APARTMENTTHREADED) |
                                                    static_cast<DWORD>(COINIT_DISABLE_OLE1DDE)) >=
                 0) {}
  ~ComApartment() {
    if (entered_) {
      ole32::CoUninitialize();
    }
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

private:
  bool entered_;
};

using UniqueHandle = platform::Unique<HANDLE, kernel32::CloseHandle>;

[[nodiscard]] BrowserFailure failureOf(DWORD error) {
  const auto code = static_cast<std::int32_t>(error);
  std::string message =
      platform::systemMessage<kernel32::FormatMessageW, kernel32::LocalFree>(code);
  return {.reason = message.empty() ? "unknown error" : std::move(message), .code = code};
}

// The longest path the system takes, in UTF-16 units.
constexpr std::size_t kMaxPathLength = 32768;

[[nodiscard]] bool isSeparator(WCHAR c) noexcept {
  return c == '\\' || c == '/';
}

// C:\... or \\server\...: a path that names the same file from any current folder.
[[nodiscard]] bool isAbsolute(WStringView path) noexcept {
  const bool drive = path.size() >= 3 && path[1] == ':' && isSeparator(path[2]);
  const bool share = path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1]);
  return drive || share;
}

[[nodiscard]] WString environmentVariable(const WString& name) {
  WString value(kernel32::GetEnvironmentVariableW(name.c_str(), nullptr, 0), WCHAR{});
  value.resize(kernel32::GetEnvironmentVariableW(name.c_str(), value.data(),
                                                 static_cast<DWORD>(value.size())));
  return value;
}

// PATH's absolute folders only: a relative one would be looked up from the current folder, the
// document's.
[[nodiscard]] WString absoluteSearchPath() {
  const WString path = environmentVariable(platform::toUtf16("PATH"));
  WString kept;
  for (std::size_t at = 0; at <= path.size();) {
    const std::size_t end = std::min(path.find(WCHAR{';'}, at), path.size());
    const WStringView folder(path.data() + at, end - at);
    if (isAbsolute(folder)) {
      kept.append(kept.empty() ? 0 : 1, WCHAR{';'}).append(folder);
    }
    at = end + 1;
  }
  return kept;
}

// The full path CreateProcessW is given for `program`: itself when absolute, else a bare name
// found in PATH's folders (with .exe when it names no extension); App Paths is not consulted.
// Empty, with the reason in `error`, when there is none.
[[nodiscard]] WString fullProgramPath(const WString& program, DWORD& error) {
  if (isAbsolute(program)) {
    return program;
  }
  if (program.find_first_of(platform::toUtf16("\\/:")) != WString::npos) {
    error = ERROR_BAD_PATHNAME;
    return {};
  }
  const WString folders = absoluteSearchPath();
  WString found(kMaxPathLength, WCHAR{});
  const DWORD length = folders.empty() ? 0
                                       : kernel32::SearchPathW(folders.c_str(), program.c_str(),
                                                               platform::toUtf16(".exe").c_str(),
                                                               static_cast<DWORD>(found.size()),
                                                               found.data(), nullptr);
  if (length == 0 || length >= found.size()) {
    error = folders.empty() || length != 0 ? ERROR_FILE_NOT_FOUND : kernel32::GetLastError();
    return {};
  }
  found.resize(length);
  return found;
}

[[nodiscard]] bool holdsNul(std::string_view text) noexcept {
  return text.find('\0') != std::string_view::npos;
}

}  // namespace

std::optional<BrowserFailure> openInBrowser(const std::string& url, const TraceStep& trace) {
  const ComApartment apartment;
  trace("COM entered");
  const WString verb = platform::toUtf16("open");
  const WString file = platform::toUtf16(url);
  SHELLEXECUTEINFOW request{};
  request.cbSize = sizeof(request);
  // The program ends as soon as the call returns, so the shell must finish handing the address
  // over before it returns (NOASYNC). A failure is said in SciTE's pane: no dialog of the
  // shell's own may hold up the tool run, hidden behind the editor (NO_UI).
  request.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  request.lpVerb = verb.c_str();
  request.lpFile = file.c_str();
  request.nShow = SW_SHOWNORMAL;
  trace("ShellExecuteEx called");
  const bool executed = shell32::ShellExecuteExW(&request) != FALSE;
  // The shell sets the last error to the real cause; hInstApp holds only a coarse old code. Read
  // before the trace, whose own calls may change it.
  const DWORD lastError = executed ? 0 : kernel32::GetLastError();
  trace("ShellExecuteEx returned");
  if (executed) {
    return std::nullopt;
  }
  return failureOf(
      lastError != 0 ? lastError : static_cast<DWORD>(reinterpret_cast<INT_PTR>(request.hInstApp)));
}

std::optional<BrowserFailure> startProgram(const ProgramCommand& command) {
  // The system reads a command line only up to a NUL: it would start less than was asked for.
  const bool nul = holdsNul(command.program) ||
                   std::any_of(command.arguments.begin(), command.arguments.end(), holdsNul);
  if (nul) {
    return failureOf(ERROR_INVALID_PARAMETER);
  }
  DWORD error = 0;
  const WString program = fullProgramPath(platform::toUtf16(command.program), error);
  if (program.empty()) {
    return failureOf(error);
  }
  // The run refuses such a program by name already; this holds for any caller.
  if (auto why = runsThroughCmd(platform::toUtf8(program))) {
    return BrowserFailure{.reason = std::move(*why), .code = ERROR_BAD_EXE_FORMAT};
  }
  WString commandLine =
      platform::toUtf16(windowsProgramLine(platform::toUtf8(program), command.arguments));
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  // Nothing of the tool's output is inherited, and no console: SciTE ends the tool run only once
  // every holder of its output has closed it, and the browser stays open.
  if (kernel32::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                               DETACHED_PROCESS, nullptr, nullptr, &startup, &info) == 0) {
    return failureOf(kernel32::GetLastError());
  }
  const UniqueHandle process(info.hProcess);
  const UniqueHandle thread(info.hThread);
  return std::nullopt;
}

}  // namespace companion
