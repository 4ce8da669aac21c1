// The system under a run on Windows: what it reads, where it says it, and the shell it hands the
// address to, over the bound system functions.
#include "companion/win32/system.h"

#include <chrono>
#include <string>

#include "companion/query/command_line.h"
#include "companion/recent/history.h"
#include "companion/run.h"
#include "companion/settings/ini.h"
#include "companion/win32/bindings.h"
#include "companion/win32/director_scite.h"
#include "companion/win32/hand_over.h"
#include "director/win32/channel.h"
#include "director/win32/discovery.h"
#include "director/win32/startup.h"
#include "platform/file.h"
#include "platform/text.h"
#include "platform/win32/codepage.h"
#include "platform/win32/executable.h"
#include "platform/win32/replace_file.h"

namespace companion {

namespace {

[[nodiscard]] std::optional<std::string> readHistoryFile(const std::string& path) {
  return platform::readFileStart(platform::toUtf16(path), kMaxHistoryFileBytes);
}

// The system under a run on Windows, with SciTE's director window.
[[nodiscard]] RunSystem windowsSystem(std::size_t selectionRoom, HWND window,
                                      const TraceStep& trace) {
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
      .openInBrowser = [trace](const std::string& url) -> BrowserVerdict {
        return [failure = openInBrowser(url, trace)] { return failure; };
      },
      .programLineRules = ProgramLineRules::Windows,
      .startProgram = startProgram,
      .readFile = readHistoryFile,
      .replaceFile = platform::replaceFile<kernel32::GetCurrentProcessId, kernel32::MoveFileExW,
                                           kernel32::GetLastError, kernel32::FormatMessageW,
                                           kernel32::LocalFree>,
      .stripCaretToEnd = [window](int control) { stripCaretToEnd(window, control); },
      .pause =
          [](std::chrono::milliseconds wait) { kernel32::Sleep(static_cast<DWORD>(wait.count())); },
      .processId = [] { return static_cast<std::uint32_t>(kernel32::GetCurrentProcessId()); },
      .trace = trace};
}

}  // namespace

std::size_t shellUrlLimit() {
  if (ntdll::wine_get_version == nullptr) {
    return maxUrlLengthFor(std::nullopt);
  }
  const char* version = ntdll::wine_get_version();
  return maxUrlLengthFor(version != nullptr ? version : "");
}

std::unique_ptr<windowhost::wReceiver> startDirectorClient(const TraceStep& trace) noexcept {
  try {
    for (const platform::BindingGroup* group : director::receiverBindingGroups()) {
      if (platform::tryBindGroup(*group)) {
        return nullptr;
      }
      trace(std::string(group->library) + " bound");
    }
    auto receiver = director::startReceiverModule();
    trace("receiver window made");
    return receiver;
  } catch (...) {  // no receiver window: SciTE's replies could not reach us
    director::hRecv = nullptr;
    return nullptr;
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
  return director::hRecv != nullptr ? findSciteDirector() : nullptr;
}

ExitCode searchFromCommandLine(HWND window, const TraceStep& trace) {
  const WindowScite scite(window, trace);
  const std::string commandLine = platform::toUtf8(kernel32::GetCommandLineW());
  return searchSelection(scite, unescapedSelection(commandLine),
                         windowsSystem(selectionRoom(commandLine), window, trace));
}

int runBound(const TraceStep& trace) noexcept {
  HWND window = nullptr;
  try {
    window = findScite();
    trace("SciTE found");
  } catch (...) {  // SciTE counts as out of reach
  }
  try {
    const WindowScite scite(window);
    return runSaying(scite, [window, &trace] { return searchFromCommandLine(window, trace); });
  } catch (...) {  // no memory even for the start
    return static_cast<int>(ExitCode::Unexpected);
  }
}

}  // namespace companion
