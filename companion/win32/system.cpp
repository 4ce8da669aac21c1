// The companion's run over its bound system functions: what it reads, what it says and where,
// and the browser or program it hands the address to.
#include "companion/win32/system.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <optional>
#include <utility>

#include "companion/open/browser_command.h"
#include "companion/open/hand_over.h"
#include "companion/query/command_line.h"
#include "companion/recent/history.h"
#include "companion/run.h"
#include "companion/settings/ini.h"
#include "companion/win32/scite_window.h"
#include "director/operations.h"
#include "director/win32/channel.h"
#include "director/win32/discovery.h"
#include "director/win32/startup.h"
#include "platform/errors.h"
#include "platform/file.h"
#include "platform/owner.h"
#include "platform/text.h"
#include "platform/win32/codepage.h"
#include "platform/win32/executable.h"
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

// Through the C run time, as platform::readFileStart reads: any file name.
[[nodiscard]] std::FILE* openForWriting(const WString& file) {
#ifdef _WIN32
  return _wfopen(file.c_str(), L"wb");
#else
  return std::fopen(platform::toUtf8(file).c_str(), "wb");
#endif
}

void removeFile(const WString& file) noexcept {
#ifdef _WIN32
  (void)_wremove(file.c_str());
#else
  (void)std::remove(platform::toUtf8(file).c_str());
#endif
}

using UniqueHandle = platform::Unique<HANDLE, kernel32::CloseHandle>;

// The longest path the system takes, in UTF-16 units.
constexpr std::size_t kMaxPathLength = 32768;

[[nodiscard]] BrowserFailure failureOf(DWORD error) {
  const auto code = static_cast<std::int32_t>(error);
  std::string message =
      platform::systemMessage<kernel32::FormatMessageW, kernel32::LocalFree>(code);
  return {.reason = message.empty() ? "unknown error" : std::move(message), .code = code};
}

// Null when the browser was started, else the system's error code and text that say why not.
[[nodiscard]] std::optional<BrowserFailure> openInBrowser(const std::string& url) {
  const ComApartment apartment;
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
  if (shell32::ShellExecuteExW(&request) != FALSE) {
    return std::nullopt;
  }
  // The shell sets the last error to the real cause; hInstApp holds only a coarse old code.
  const DWORD lastError = kernel32::GetLastError();
  return failureOf(
      lastError != 0 ? lastError : static_cast<DWORD>(reinterpret_cast<INT_PTR>(request.hInstApp)));
}

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
      platform::toUtf16(windowsCommandLine(platform::toUtf8(program), command.arguments));
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

namespace {

[[nodiscard]] std::optional<std::string> readHistoryFile(const std::string& path) {
  return platform::readFileStart(platform::toUtf16(path), kMaxHistoryFileBytes);
}

// The temporary file's name has this process's id: no two companions running at once share it.
[[nodiscard]] std::optional<std::string> replaceWholeFile(const std::string& path,
                                                          const std::string& text) {
  const WString target = platform::toUtf16(path);
  std::string suffix(1, '.');  // appended: GCC 12 misreads "literal" + std::string
  suffix += std::to_string(kernel32::GetCurrentProcessId());
  suffix += ".tmp";
  const WString temporary = target + platform::toUtf16(suffix);
  bool written = false;
  if (std::FILE* stream = openForWriting(temporary)) {
    written = std::fwrite(text.data(), 1, text.size(), stream) == text.size();
    written = std::fclose(stream) == 0 && written;
  }
  if (written && kernel32::MoveFileExW(temporary.c_str(), target.c_str(),
                                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0) {
    return std::nullopt;
  }
  // The C run time's open and the move both leave the system's reason.
  const DWORD error = kernel32::GetLastError();
  removeFile(temporary);
  return failureOf(error != 0 ? error : ERROR_WRITE_FAULT).reason;
}

// The system under a run on Windows, with SciTE's director window.
[[nodiscard]] RunSystem windowsSystem(std::size_t selectionRoom, HWND window) {
  return {
      .editor = EditorKind::windows,
      .toUtf8 =
          [](std::string_view bytes, const Encoding& encoding) {
            return platform::utf8FromCodePage(bytes, encoding.codePage);
          },
      .selectionRoom = selectionRoom,
      .readIni = readIniFile,
      .maxUrlLength = shellUrlLimit(),
      // The shell hands each address over before it returns: the verdict is known at once.
      .openInBrowser = [](const std::string& url) -> BrowserVerdict {
        return [failure = openInBrowser(url)] { return failure; };
      },
      .commandLineRules = CommandLineRules::Windows,
      .startProgram = startProgram,
      .readFile = readHistoryFile,
      .replaceFile = replaceWholeFile,
      .stripCaretToEnd = [window](int control) { stripCaretToEnd(window, control); },
      .pause =
          [](std::chrono::milliseconds wait) { kernel32::Sleep(static_cast<DWORD>(wait.count())); },
      .processId = [] { return static_cast<std::uint32_t>(kernel32::GetCurrentProcessId()); }};
}

}  // namespace

std::size_t shellUrlLimit() {
  if (ntdll::wine_get_version == nullptr) {
    return maxUrlLengthFor(std::nullopt);
  }
  const char* version = ntdll::wine_get_version();
  return maxUrlLengthFor(version != nullptr ? version : "");
}

bool startDirectorClient() noexcept {
  try {
    for (const platform::BindingGroup* group : director::receiverBindingGroups()) {
      if (platform::tryBindGroup(*group)) {
        return false;
      }
    }
    director::initReceiverModule();
    return true;
  } catch (...) {  // no receiver window: SciTE's replies could not reach us
    director::hRecv = nullptr;
    return false;
  }
}

WString ownFolder() {
  return platform::executableFolder(kernel32::GetModuleFileNameW);
}

IniFile readIniFile() {
  return iniFileIn(ownFolder(), [](const WString& path, std::size_t most) {
    return platform::readFileStart(path, most);
  });
}

HWND findScite() {
  return director::hRecv != nullptr ? director::GetHwndDirectorExtension() : nullptr;
}

ExitCode searchFromCommandLine(HWND window) {
  const WindowScite scite(window);
  const std::string commandLine = platform::toUtf8(kernel32::GetCommandLineW());
  return searchSelection(scite, unescapedSelection(commandLine),
                         windowsSystem(selectionRoom(commandLine), window));
}

int runBound() noexcept {
  HWND window = nullptr;
  try {
    window = findScite();
  } catch (...) {  // SciTE counts as out of reach
  }
  try {
    const WindowScite scite(window);
    return runSaying(scite, [window] { return searchFromCommandLine(window); });
  } catch (...) {  // no memory even for the start
    return static_cast<int>(ExitCode::Unexpected);
  }
}

int runCompanion() noexcept {
  if (!bindSystemFunctions()) {
    return static_cast<int>(ExitCode::SystemUnavailable);
  }
  (void)startDirectorClient();
  return runBound();
}

}  // namespace companion
