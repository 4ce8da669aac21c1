// The companion's run over fakes in its slots: settings beside the executable, the shell call and
// the exit codes.
#include "companion/win32/system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "companion/settings/ini.h"
#include "companion/win32/bindings.h"
#include "companion/win32/director_scite.h"
#include "companion/win32/hand_over.h"
#include "platform/errors.h"
#include "platform/text.h"
#include "tests/support/slot_swap.h"
#include "tests/support/temp_dir.h"

namespace {

using companion::ExitCode;
using test_support::SlotSwap;
using test_support::TempDir;

struct ShellCall {
  int count = 0;
  SHELLEXECUTEINFOW request{};  // its strings are valid only during the call
  std::string verb;
  std::string file;
};

// What the call throws instead of answering.
enum class Thrown { Nothing, OurError, StdException, Other };

// What the shell answers: its result, the coarse code in hInstApp and the thread's last error.
struct ShellAnswer {
  BOOL result = TRUE;
  INT_PTR instApp = 42;
  DWORD lastError = 0;
  Thrown thrown = Thrown::Nothing;
};

// What the fakes read and record; reset before every test.
struct FakeSystem {
  WString commandLine;
  WString modulePath;
  bool moduleFails = false;
  ShellAnswer answer;
  HRESULT comResult = 0;
  int comInits = 0;
  int comUninits = 0;
  ShellCall shell;
};

FakeSystem fake;

WString wide(const std::filesystem::path& path) {
  const std::u8string utf8 = path.u8string();
  return platform::toUtf16(std::string(utf8.begin(), utf8.end()));
}

// Like the system: a path that does not fit is cut to size - 1 units and size is returned.
DWORD WINAPI fakeModuleFileName(HMODULE, LPWSTR buffer, DWORD size) {
  if (fake.moduleFails || size == 0) {
    return 0;
  }
  const std::size_t copied = std::min<std::size_t>(fake.modulePath.size(), size - 1);
  std::copy_n(fake.modulePath.begin(), copied, buffer);
  buffer[copied] = 0;
  return copied == fake.modulePath.size() ? static_cast<DWORD>(copied) : size;
}

BOOL WINAPI fakeShellExecute(SHELLEXECUTEINFOW* request) {
  fake.shell = {fake.shell.count + 1, *request, platform::toUtf8(request->lpVerb),
                platform::toUtf8(request->lpFile)};
  switch (fake.answer.thrown) {
    case Thrown::OurError:
      throw platform::OSError("The pipe broke", 109);
    case Thrown::StdException:
      throw std::length_error("string too long");
    case Thrown::Other:
      throw 42;
    case Thrown::Nothing:
      break;
  }
  request->hInstApp = reinterpret_cast<HINSTANCE>(fake.answer.instApp);
  return fake.answer.result;
}

class CompanionRun : public ::testing::Test {
protected:
  void SetUp() override {
    fake = FakeSystem{};
    fake.modulePath = wide(dir.path() / "websearch.exe");
  }

  void commandLine(std::u16string_view selection) {
    fake.commandLine = wide(dir.path() / "websearch.exe");
    fake.commandLine.insert(fake.commandLine.begin(), WCHAR{'"'});
    fake.commandLine += WCHAR{'"'};
    fake.commandLine += WCHAR{' '};
    fake.commandLine.append(selection.begin(), selection.end());
  }

  TempDir dir{"companion run"};
  SlotSwap<companion::kernel32::GetCommandLineW> commandLineSlot{
      []() -> LPWSTR { return fake.commandLine.data(); }};
  SlotSwap<companion::kernel32::GetModuleFileNameW> moduleSlot{fakeModuleFileName};
  SlotSwap<companion::ole32::CoInitializeEx> comInitSlot{[](LPVOID, DWORD) -> HRESULT {
    ++fake.comInits;
    return fake.comResult;
  }};
  SlotSwap<companion::ole32::CoUninitialize> comUninitSlot{[]() { ++fake.comUninits; }};
  SlotSwap<companion::shell32::ShellExecuteExW> shellSlot{fakeShellExecute};
  SlotSwap<companion::kernel32::GetLastError> lastErrorSlot{
      []() -> DWORD { return fake.answer.lastError; }};
  // The system has a text for "file not found" only.
  SlotSwap<companion::kernel32::FormatMessageW> messageSlot{
      [](DWORD, LPCVOID, DWORD code, DWORD, LPWSTR buffer, DWORD, va_list*) -> DWORD {
        static WCHAR text[] = {'N', 'o', 't', ' ', 'f', 'o', 'u', 'n', 'd', '.', '\r', '\n', 0};
        *reinterpret_cast<LPWSTR*>(buffer) = text;
        return code == 2 ? 12 : 0;
      }};
  SlotSwap<companion::kernel32::LocalFree> freeSlot{[](HLOCAL) -> HLOCAL { return nullptr; }};
};

struct RunCase {
  const char* name;
  std::u16string_view selection;
  std::optional<std::string_view> ini;
  ShellAnswer shell;
  ExitCode code;
  std::string_view opened;  // empty: the shell must not be called
  std::string_view said;    // on standard error, SciTE being out of reach
};

TEST_F(CompanionRun, OpensWhatTheSettingsAndSelectionGive) {
  constexpr std::string_view kNothing =
      "!> Nothing to search: select some text, or put the caret in a word.\n";
  constexpr std::string_view kBadUrl =
      "!> {ini}, line 1: url= must begin with http:// or https:// and contain {query}.\n";
  // Only the first 64 KiB of the settings are read.
  const std::string huge = std::string(70000, ';') + "\nurl=http://late.example/{query}\n";
  const std::string lastLine = "\nurl=http://last.example/{query}";
  const std::string exactlyFull = std::string(65536 - lastLine.size(), ';') + lastLine;
  const RunCase cases[] = {
      {"no settings file",
       u"foo bar",
       std::nullopt,
       {},
       ExitCode::Opened,
       "https://duckduckgo.com/?q=foo%20bar",
       "+> Search: {url}\n"},
      {"own template",
       u"foo",
       "[search]\r\nurl=http://e.example/?q={query}\r\n",
       {},
       ExitCode::Opened,
       "http://e.example/?q=foo",
       "+> Search: {url}\n"},
      {"bad template", u"foo", "url=file:///C:/{query}\n", {}, ExitCode::BadTemplate, "", kBadUrl},
      {"nothing selected", u"", std::nullopt, {}, ExitCode::NothingToSearch, "", kNothing},
      {"settings of exactly 64 KiB read whole",
       u"x",
       exactlyFull,
       {},
       ExitCode::Opened,
       "http://last.example/x",
       "+> Search: {url}\n"},
      {"settings beyond 64 KiB ignored",
       u"x",
       huge,
       {},
       ExitCode::Opened,
       "https://duckduckgo.com/?q=x",
       "+> Search: {url}\n"},
      {"NUL bytes in the settings",
       u"x",
       std::string_view("url=http://a\0b/{query}\n", 23),
       {},
       ExitCode::Opened,
       "http://a%00b/x",
       "+> Search: {url}\n"},
      {"lone surrogate",
       u"a\xD800z",
       std::nullopt,
       {},
       ExitCode::Opened,
       "https://duckduckgo.com/?q=a%EF%BF%BDz",
       "+> Search: {url}\n"},
      {"UTF-16 text",
       u"caf\u00E9 \U0001F600",
       std::nullopt,
       {},
       ExitCode::Opened,
       "https://duckduckgo.com/?q=caf%C3%A9%20%F0%9F%98%80",
       "+> Search: {url}\n"},
      {"shell fails: file not found",
       u"x",
       std::nullopt,
       {FALSE, 2, 0},
       ExitCode::OpenFailed,
       "https://duckduckgo.com/?q=x",
       "+> Search: {url}\n!> The browser could not be started: Not found (2).\n"},
      {"shell fails with a code above 32",
       u"x",
       std::nullopt,
       {FALSE, 32, 0},
       ExitCode::OpenFailed,
       "https://duckduckgo.com/?q=x",
       "+> Search: {url}\n!> The browser could not be started: unknown error (32).\n"},
      {"shell says yes, whatever its coarse code",
       u"x",
       std::nullopt,
       {TRUE, 0, 0},
       ExitCode::Opened,
       "https://duckduckgo.com/?q=x",
       "+> Search: {url}\n"},
      {"shell fails: the last error before the coarse code",
       u"x",
       std::nullopt,
       {FALSE, 31, 2},
       ExitCode::OpenFailed,
       "https://duckduckgo.com/?q=x",
       "+> Search: {url}\n!> The browser could not be started: Not found (2).\n"},
      {"an error of ours is said with its kind",
       u"x",
       std::nullopt,
       {.thrown = Thrown::OurError},
       ExitCode::Unexpected,
       "https://duckduckgo.com/?q=x",
       "+> Search: {url}\n!> Unexpected error: The pipe broke [OSError]\n"},
      {"any other exception with its text",
       u"x",
       std::nullopt,
       {.thrown = Thrown::StdException},
       ExitCode::Unexpected,
       "https://duckduckgo.com/?q=x",
       "+> Search: {url}\n!> Unexpected error: string too long [std::exception]\n"},
      {"anything else thrown",
       u"x",
       std::nullopt,
       {.thrown = Thrown::Other},
       ExitCode::Unexpected,
       "https://duckduckgo.com/?q=x",
       "+> Search: {url}\n!> Unexpected error: no details [unknown]\n"},
  };
  for (const auto& c : cases) {
    SetUp();
    commandLine(c.selection);
    std::filesystem::remove(dir.path() / companion::kIniFileName);
    if (c.ini) {
      dir.write(companion::kIniFileName, *c.ini);
    }
    fake.answer = c.shell;

    testing::internal::CaptureStderr();
    EXPECT_EQ(companion::runBound(), static_cast<int>(c.code)) << c.name;
    EXPECT_EQ(fake.shell.count, c.opened.empty() ? 0 : 1) << c.name;
    EXPECT_EQ(fake.shell.file, c.opened) << c.name;
    // Without SciTE in reach the lines go to standard error, in the same words.
    std::string said(c.said);
    for (const auto& [field, value] :
         {std::pair<std::string, std::string>{"{url}", c.opened},
          {"{ini}", (dir.path() / companion::kIniFileName).string()}}) {
      if (const auto at = said.find(field); at != std::string::npos) {
        said.replace(at, field.size(), value);
      }
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), said) << c.name;
  }
}

TEST_F(CompanionRun, AsksTheShellToOpenInsideAnApartment) {
  commandLine(u"x");
  ASSERT_EQ(companion::searchFromCommandLine(nullptr), ExitCode::Opened);
  const SHELLEXECUTEINFOW& request = fake.shell.request;
  EXPECT_EQ(request.cbSize, sizeof(SHELLEXECUTEINFOW));
  EXPECT_EQ(request.hwnd, nullptr);
  EXPECT_EQ(fake.shell.verb, "open");
  EXPECT_EQ(request.lpParameters, nullptr);
  EXPECT_EQ(request.lpDirectory, nullptr);
  EXPECT_EQ(request.nShow, SW_SHOWNORMAL);
  // Neither flag changes anything a test here can see (Wine ignores both), but Windows needs
  // them: the shell may finish asynchronously after this process ended, or stop on an error
  // dialog nobody sees.
  EXPECT_EQ(request.fMask & SEE_MASK_NOASYNC, SEE_MASK_NOASYNC);
  EXPECT_EQ(request.fMask & SEE_MASK_FLAG_NO_UI, SEE_MASK_FLAG_NO_UI);
  EXPECT_EQ(fake.comInits, 1);
  EXPECT_EQ(fake.comUninits, 1);
}

TEST_F(CompanionRun, ApartmentBalancedOnlyWhenEntered) {
  const std::pair<HRESULT, int> cases[] = {
      {1, 1},                                   // S_FALSE: already initialised, still counted
      {static_cast<HRESULT>(0x80010106UL), 0},  // RPC_E_CHANGED_MODE
  };
  for (const auto& [result, uninits] : cases) {
    SetUp();
    commandLine(u"x");
    fake.comResult = result;
    EXPECT_EQ(companion::searchFromCommandLine(nullptr), ExitCode::Opened);
    EXPECT_EQ(fake.shell.count, 1);
    EXPECT_EQ(fake.comUninits, uninits) << result;
  }
}

TEST_F(CompanionRun, UnknownOwnPathFallsBackToTheDefaultTemplate) {
  commandLine(u"x");
  dir.write(companion::kIniFileName, "url=http://e.example/{query}\n");
  fake.moduleFails = true;
  // Not even from the current folder, which is anybody's.
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  const auto code = companion::searchFromCommandLine(nullptr);
  std::filesystem::current_path(previous);
  EXPECT_EQ(code, ExitCode::Opened);
  EXPECT_EQ(fake.shell.file, "https://duckduckgo.com/?q=x");
}

TEST_F(CompanionRun, FindsTheSettingsBesideALongPath) {
  std::filesystem::path deep = dir.path();
  for (int i = 0; i < 12; ++i) {
    deep /= std::string(40, static_cast<char>('a' + i));
  }
  std::filesystem::create_directories(deep);
  std::ofstream(deep / companion::kIniFileName) << "url=http://deep.example/{query}\n";
  fake.modulePath = wide(deep / "websearch.exe");
  ASSERT_GT(fake.modulePath.size(), 520U);
  commandLine(u"x");

  EXPECT_EQ(companion::searchFromCommandLine(nullptr), ExitCode::Opened);
  EXPECT_EQ(fake.shell.file, "http://deep.example/x");
}

// What the system was asked while a program was started, and its answer.
struct ProgramStart {
  std::string searchedFolders;  // SearchPathW's folders; empty: not searched
  std::string searchedName;
  std::string applicationName;  // CreateProcessW's; empty: not called
  std::string commandLine;
  bool inheritsHandles = false;
  DWORD flags = 0;
  int closed = 0;
  std::optional<std::int64_t> failure;  // the code of the failure returned
  bool operator==(const ProgramStart&) const = default;
};

struct ProgramSystem {
  WString path;                  // PATH's value
  std::optional<WString> found;  // what SearchPathW finds
  BOOL created = TRUE;
  ProgramStart start;
};

ProgramSystem programs;

struct StartCase {
  const char* name;
  companion::ProgramCommand command;
  std::string_view path;
  std::optional<std::string_view> found;
  BOOL created;
  ProgramStart start;
};

TEST_F(CompanionRun, StartsTheProgramByItsFullPathNeverFromTheCurrentFolder) {
  const SlotSwap<companion::kernel32::GetEnvironmentVariableW> environmentSlot{
      [](LPCWSTR name, LPWSTR buffer, DWORD size) -> DWORD {
        EXPECT_EQ(platform::toUtf8(name), "PATH");
        if (size <= programs.path.size()) {
          return static_cast<DWORD>(programs.path.size() + 1);
        }
        std::copy(programs.path.c_str(), programs.path.c_str() + programs.path.size() + 1, buffer);
        return static_cast<DWORD>(programs.path.size());
      }};
  const SlotSwap<companion::kernel32::SearchPathW> searchSlot{[](LPCWSTR folders, LPCWSTR name,
                                                                 LPCWSTR extension, DWORD size,
                                                                 LPWSTR buffer, LPWSTR*) -> DWORD {
    EXPECT_EQ(platform::toUtf8(extension), ".exe");
    programs.start.searchedFolders = platform::toUtf8(folders);
    programs.start.searchedName = platform::toUtf8(name);
    if (!programs.found) {
      fake.answer.lastError = ERROR_FILE_NOT_FOUND;
      return 0;
    }
    const WString& found = *programs.found;
    EXPECT_LT(found.size(), size);
    std::copy(found.c_str(), found.c_str() + found.size() + 1, buffer);
    return static_cast<DWORD>(found.size());
  }};
  const SlotSwap<companion::kernel32::CreateProcessW> createSlot{
      [](LPCWSTR application, LPWSTR commandLine, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES,
         BOOL inherit, DWORD flags, LPVOID, LPCWSTR, LPSTARTUPINFOW,
         LPPROCESS_INFORMATION info) -> BOOL {
        programs.start.applicationName = platform::toUtf8(application);
        programs.start.commandLine = platform::toUtf8(commandLine);
        programs.start.inheritsHandles = inherit != FALSE;
        programs.start.flags = flags;
        if (programs.created == FALSE) {
          fake.answer.lastError = ERROR_FILE_NOT_FOUND;
          return FALSE;
        }
        static int process = 0;
        static int thread = 0;
        info->hProcess = &process;
        info->hThread = &thread;
        return TRUE;
      }};
  const SlotSwap<companion::kernel32::CloseHandle> closeSlot{[](HANDLE) -> BOOL {
    ++programs.start.closed;
    return TRUE;
  }};
  const std::string address = "https://example.org/?q=a b&c=\"d\"";
  const std::string quoted = R"("https://example.org/?q=a b&c=\"d\"")";
  const StartCase cases[] = {
      {"an absolute path with a blank, as it is",
       {R"(C:\Program Files\Fox\fox.exe)", {"-private-window", address}},
       R"(C:\bin)",
       std::nullopt,
       TRUE,
       {.applicationName = R"(C:\Program Files\Fox\fox.exe)",
        .commandLine = R"("C:\Program Files\Fox\fox.exe" -private-window )" + quoted,
        .flags = DETACHED_PROCESS,
        .closed = 2}},
      {"a bare name in PATH's absolute folders only",
       {"fox", {address}},
       R"(C:\bin;.;rel\dir;;\\srv\share;D:/x)",
       R"(C:\bin\fox.exe)",
       TRUE,
       {.searchedFolders = R"(C:\bin;\\srv\share;D:/x)",
        .searchedName = "fox",
        .applicationName = R"(C:\bin\fox.exe)",
        .commandLine = R"("C:\bin\fox.exe" )" + quoted,
        .flags = DETACHED_PROCESS,
        .closed = 2}},
      {"a drive's root on PATH is absolute",
       {"fox", {address}},
       R"(C:\;bin)",
       R"(C:\fox.exe)",
       TRUE,
       {.searchedFolders = R"(C:\)",
        .searchedName = "fox",
        .applicationName = R"(C:\fox.exe)",
        .commandLine = R"("C:\fox.exe" )" + quoted,
        .flags = DETACHED_PROCESS,
        .closed = 2}},
      {"a bare name nowhere on PATH",
       {"fox", {address}},
       R"(C:\bin)",
       std::nullopt,
       TRUE,
       {.searchedFolders = R"(C:\bin)", .searchedName = "fox", .failure = ERROR_FILE_NOT_FOUND}},
      {"no absolute folder on PATH",
       {"fox", {address}},
       ".;bin",
       "fox.exe",
       TRUE,
       {.failure = ERROR_FILE_NOT_FOUND}},
      {"a relative path",
       {R"(bin\fox.exe)", {address}},
       R"(C:\bin)",
       std::nullopt,
       TRUE,
       {.failure = ERROR_BAD_PATHNAME}},
      {"a path relative to a drive's folder",
       {"C:fox.exe", {address}},
       R"(C:\bin)",
       std::nullopt,
       TRUE,
       {.failure = ERROR_BAD_PATHNAME}},
      {"a path from the current drive's root",
       {R"(\fox.exe)", {address}},
       R"(C:\bin)",
       std::nullopt,
       TRUE,
       {.failure = ERROR_BAD_PATHNAME}},
      {"a program that does not start",
       {R"(C:\fox.exe)", {address}},
       R"(C:\bin)",
       std::nullopt,
       FALSE,
       {.applicationName = R"(C:\fox.exe)",
        .commandLine = R"("C:\fox.exe" )" + quoted,
        .flags = DETACHED_PROCESS,
        .failure = ERROR_FILE_NOT_FOUND}},
      {"a .cmd file, which cmd.exe would run",
       {R"(C:\tools\open.CMD)", {address}},
       R"(C:\bin)",
       std::nullopt,
       TRUE,
       {.failure = ERROR_BAD_EXE_FORMAT}},
      {"a NUL in an argument",
       {R"(C:\fox.exe)", {std::string("a\0b", 3)}},
       R"(C:\bin)",
       std::nullopt,
       TRUE,
       {.failure = ERROR_INVALID_PARAMETER}},
  };
  for (const auto& c : cases) {
    programs = {.path = wide(c.path), .created = c.created};
    if (c.found) {
      programs.found = wide(*c.found);
    }
    fake.answer.lastError = 0;
    const auto failure = companion::startProgram(c.command);
    if (failure) {
      programs.start.failure = failure->code;
    }
    EXPECT_EQ(programs.start, c.start) << c.name;
  }
  // The system's text for the code, as the run says it.
  programs = {.path = wide(R"(C:\bin)")};
  EXPECT_EQ(
      companion::startProgram({"fox", {address}}).value_or(companion::BrowserFailure{}).reason,
      "Not found.\r\n");
}

#ifndef _WIN32
TEST(CompanionStart, MissingSystemLibrariesEndQuietlyWithTheirOwnCode) {
  // This host has no kernel32 to bind.
  testing::internal::CaptureStderr();
  testing::internal::CaptureStdout();
  EXPECT_FALSE(companion::bindSystemFunctions());
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}
#endif

// SciTE's windows as the strip's caret sees them: each SciTE a main window made by its thread,
// with a user strip whose control 1 holds a text of some length.
struct StripWindows {
  struct Scite {
    DWORD thread;
    std::uintptr_t main, strip, field;
  };
  std::vector<Scite> scites;
  std::uintptr_t director = 0;
  DWORD directorThread = 0;
  DWORD_PTR textLength = 0;
  std::string sent;  // "<field> <- <wParam>:<lParam, hex>" for each CB_SETEDITSEL
};

StripWindows windows;

HWND handle(std::uintptr_t value) {
  return reinterpret_cast<HWND>(value);
}

DWORD WINAPI fakeThreadOf(HWND window, LPDWORD) {
  if (window == handle(windows.director)) {
    return windows.directorThread;
  }
  for (const auto& scite : windows.scites) {
    if (window == handle(scite.main)) {
      return scite.thread;
    }
  }
  return 0;
}

// Top-level SciTE main windows in order after `after`; a main window's strip by its title.
HWND WINAPI fakeFindWindowEx(HWND parent, HWND after, LPCWSTR className, LPCWSTR title) {
  if (parent == nullptr && className != nullptr && platform::toUtf8(className) == "SciTEWindow") {
    bool past = after == nullptr;
    for (const auto& scite : windows.scites) {
      if (past) {
        return handle(scite.main);
      }
      past = handle(scite.main) == after;
    }
    return nullptr;
  }
  for (const auto& scite : windows.scites) {
    if (parent == handle(scite.main) && title != nullptr &&
        platform::toUtf8(title) == "UserStrip") {
      return handle(scite.strip);
    }
  }
  return nullptr;
}

HWND WINAPI fakeDlgItem(HWND strip, int id) {
  for (const auto& scite : windows.scites) {
    if (strip == handle(scite.strip) && id == 1) {
      return handle(scite.field);
    }
  }
  return nullptr;
}

LRESULT WINAPI fakeSend(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT, UINT,
                        DWORD_PTR* result) {
  if (message == WM_GETTEXTLENGTH) {
    *result = windows.textLength;
  } else if (message == CB_SETEDITSEL) {
    std::ostringstream line;
    line << reinterpret_cast<std::uintptr_t>(window) << " <- " << wParam << ":" << std::hex
         << lParam;
    windows.sent += line.str();
  }
  return 1;
}

TEST(StripCaret, PutAfterTheTextOfTheQueryInTheSciteThatRunsTheTool) {
  const SlotSwap<companion::user32::GetWindowThreadProcessId> thread{&fakeThreadOf};
  const SlotSwap<companion::user32::FindWindowExW> find{&fakeFindWindowEx};
  const SlotSwap<companion::user32::GetDlgItem> item{&fakeDlgItem};
  const SlotSwap<companion::user32::SendMessageTimeoutW> send{&fakeSend};
  const std::vector<StripWindows::Scite> two = {{7, 100, 101, 102}, {8, 200, 201, 202}};
  struct Row {
    const char* name;
    std::vector<StripWindows::Scite> scites;
    DWORD directorThread;
    DWORD_PTR textLength;
    std::string sent;
  };
  const Row rows[] = {
      {"two SciTEs: the one whose thread made the director window", two, 8, 5, "202 <- 0:50005"},
      {"the longest text a selection's ends reach", two, 7, 0x7FFF, "102 <- 0:7fff7fff"},
      {"one unit longer: the caret left where SciTE put it", two, 7, 0x8000, ""},
      {"no SciTE of the director window's thread", two, 9, 5, ""},
      {"SciTE closing: no thread for either window", {{0, 300, 301, 302}}, 0, 5, ""},
  };
  for (const Row& row : rows) {
    windows = {.scites = row.scites,
               .director = 50,
               .directorThread = row.directorThread,
               .textLength = row.textLength};
    companion::stripCaretToEnd(handle(windows.director), 1);
    EXPECT_EQ(windows.sent, row.sent) << row.name;
  }
}

}  // namespace
