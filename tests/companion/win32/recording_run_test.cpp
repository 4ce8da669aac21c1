// The companion as a process: websearch_recording.exe, copied into a fresh folder as
// websearch.exe, started with a raw command line like the launcher's; checks the exit code and
// the exact URL its recorder took instead of a browser.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "companion/settings/ini.h"
#include "companion/win32/bindings.h"
#include "companion/win32/hand_over.h"
#include "companion/win32/system.h"
#include "platform/binding.h"
#include "platform/text.h"
#include "platform/win32/win32.h"
#include "tests/support/files.h"
#include "tests/support/temp_dir.h"
#include "tests/support/trace_steps.h"

namespace companion_test::kernel32 {
inline decltype(&::CreateProcessW) CreateProcessW = nullptr;
inline decltype(&::WaitForSingleObject) WaitForSingleObject = nullptr;
inline decltype(&::GetExitCodeProcess) GetExitCodeProcess = nullptr;
inline decltype(&::CloseHandle) CloseHandle = nullptr;
inline decltype(&::SetEnvironmentVariableW) SetEnvironmentVariableW = nullptr;
}  // namespace companion_test::kernel32

namespace {

using companion::ExitCode;
using test_support::awaitFile;
using test_support::readFile;
using test_support::stepsIn;
using test_support::TempDir;
using test_support::tryReadFile;
namespace k32 = companion_test::kernel32;

constexpr DWORD kRunTimeoutMs = 60'000;
constexpr DWORD kTimedOut = 0xFFFF'FFFE;

void bindHarness() {
  static const platform::BindingGroup group{
      "kernel32",
      {platform::Bind("CreateProcessW", k32::CreateProcessW),
       platform::Bind("WaitForSingleObject", k32::WaitForSingleObject),
       platform::Bind("GetExitCodeProcess", k32::GetExitCodeProcess),
       platform::Bind("CloseHandle", k32::CloseHandle),
       platform::Bind("SetEnvironmentVariableW", k32::SetEnvironmentVariableW)}};
  // Only kernel32: the harness itself opens no window and starts no browser.
  static const bool bound = [] {
    platform::bindGroup(group);
    platform::bindGroup(companion::kernel32::bindings());
    return true;
  }();
  ASSERT_TRUE(bound);
}

class Handle {
public:
  explicit Handle(HANDLE handle) noexcept : handle_(handle) {}
  ~Handle() {
    if (handle_ != nullptr) {
      k32::CloseHandle(handle_);
    }
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  [[nodiscard]] HANDLE get() const noexcept { return handle_; }

private:
  HANDLE handle_;
};

// Starts a raw command line and waits for its exit code.
std::optional<DWORD> run(WString commandLine) {
  // No standard handles: a process that Wine starts on the child's behalf (its desktop, say)
  // would inherit them and hold the test's output pipe open long after the test has ended.
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  PROCESS_INFORMATION info{};
  if (k32::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info) == 0) {
    return std::nullopt;
  }
  const Handle process(info.hProcess);
  const Handle thread(info.hThread);
  if (k32::WaitForSingleObject(process.get(), kRunTimeoutMs) != 0) {
    return kTimedOut;
  }
  DWORD code = 0;
  k32::GetExitCodeProcess(process.get(), &code);
  return code;
}

struct ProcessCase {
  const char* name;
  const char8_t* folder;
  bool quotePath;
  std::optional<std::string_view> ini;
  std::wstring_view selection;
  ExitCode code;
  std::optional<std::string_view> recorded;  // the record file's bytes; none: no file
  const char* trace = nullptr;               // WEBSEARCH_TRACE's file in the folder; null: not set
  std::string_view steps = {};               // the steps it marked, in order
};

TEST(RecordingCompanion, OpensTheUrlThatTheCommandLineAndSettingsGive) {
  bindHarness();
  const std::filesystem::path recorder =
      std::filesystem::path(companion::ownFolder()) / "websearch_recording.exe";
  ASSERT_TRUE(std::filesystem::exists(recorder)) << recorder;

  const ProcessCase cases[] = {
      {"plain words, path with blanks", u8"web search", true, std::nullopt, L"foo  bar",
       ExitCode::Opened, "https://duckduckgo.com/?q=foo%20bar\n"},
      {"unquoted path", u8"websearch", false, std::nullopt, L"foo", ExitCode::Opened,
       "https://duckduckgo.com/?q=foo\n"},
      {"escaped lines and quotes", u8"web search", true, std::nullopt,
       LR"(first\r\n"second" \\x\033)", ExitCode::Opened,
       "https://duckduckgo.com/?q=first%20%22second%22%20%5Cx%1B\n"},
      {"non-ASCII selection", u8"web search", true, std::nullopt, L"caf\u00E9 \u4E2D \U0001F600",
       ExitCode::Opened, "https://duckduckgo.com/?q=caf%C3%A9%20%E4%B8%AD%20%F0%9F%98%80\n"},
      {"settings beside the exe in a non-ASCII folder", u8"Such\u00E9 \u4E2D", true,
       "url=http://search.example/?q={query}&lang=de\r\n", L"x y", ExitCode::Opened,
       "http://search.example/?q=x%20y&lang=de\n"},
      {"bad template", u8"web search", true, "url=file:///C:/{query}\n", L"x",
       ExitCode::BadTemplate, std::nullopt},
      {"nothing selected", u8"web search", true, std::nullopt, L"", ExitCode::NothingToSearch,
       std::nullopt},
      {"traced where WEBSEARCH_TRACE says", u8"web search", true, std::nullopt, L"x",
       ExitCode::Opened, "https://duckduckgo.com/?q=x\n", "trace.txt",
       "process created, started, kernel32 bound, ole32 bound, shell32 bound, user32 bound, "
       "kernel32 bound, kernel32 bound, gdi32 bound, user32 bound, kernel32 bound, user32 bound, "
       "receiver window made, SciTE found, decided, said, COM entered, ShellExecuteEx called, "
       "ShellExecuteEx returned, handed over, remembered"},
  };
  for (const auto& c : cases) {
    const TempDir dir{std::filesystem::path(c.folder)};
    const std::filesystem::path exe = dir.path() / "websearch.exe";
    std::filesystem::copy_file(recorder, exe);
    if (c.ini) {
      dir.write(companion::kIniFileName, *c.ini);
    }
    WString commandLine = c.quotePath ? L"\"" + exe.wstring() + L"\"" : exe.wstring();
    commandLine += L' ';
    commandLine += c.selection;

    const WString trace = c.trace ? (dir.path() / c.trace).wstring() : WString();
    k32::SetEnvironmentVariableW(L"WEBSEARCH_TRACE", c.trace ? trace.c_str() : nullptr);
    const auto code = run(commandLine);
    k32::SetEnvironmentVariableW(L"WEBSEARCH_TRACE", nullptr);
    ASSERT_TRUE(code.has_value()) << c.name;
    EXPECT_EQ(stepsIn(c.trace ? readFile(dir.path() / c.trace) : ""), c.steps) << c.name;
    EXPECT_EQ(*code, static_cast<DWORD>(c.code)) << c.name;
    EXPECT_EQ(tryReadFile(dir.path() / "websearch-opened.txt"), c.recorded) << c.name;
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "websearch-comctl32.txt")) << c.name;
  }
}

// `arguments` as the recorder writes them: UTF-16, each ended by a NUL.
std::string recorded(const std::vector<std::string>& arguments) {
  WString wide;
  for (const std::string& argument : arguments) {
    wide += platform::toUtf16(argument);
    wide.push_back(0);
  }
  return {reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(WCHAR)};
}

struct StartCase {
  const char* name;
  const char8_t* folder;  // the recorder's, copied there as fileName
  const char* fileName;
  bool bare;  // started by its bare name, its folder first on PATH
  std::vector<std::string> arguments;
  std::optional<std::int64_t> failure;  // its code; none: started
};

TEST(StartProgram, EachArgumentArrivesAsItWasWithoutAShell) {
  bindHarness();
  const std::filesystem::path recorder =
      std::filesystem::path(companion::ownFolder()) / "argument_recorder.exe";
  ASSERT_TRUE(std::filesystem::exists(recorder)) << recorder;
  const std::string address = "https://example.org/?q=a&b=%25!'(x)';c=d";
  const StartCase cases[] = {
      {"a path with a blank, the address one argument",
       u8"Program Files",
       "fox.exe",
       false,
       {"-private-window", address},
       std::nullopt},
      {"blanks, quotes, backslashes and non-ASCII in arguments",
       u8"fox",
       "fox.exe",
       false,
       {R"(C:\a dir\)", R"(say "hi" \"x\")", "", "caf\xC3\xA9 \xE4\xB8\xAD"},
       std::nullopt},
      {"a bare name found on PATH", u8"on path", "foxbare.exe", true, {address}, std::nullopt},
      {"a missing program", u8"fox", "", false, {address}, ERROR_FILE_NOT_FOUND},
  };
  for (const auto& c : cases) {
    const TempDir dir{std::filesystem::path(c.folder)};
    const std::string name = c.fileName[0] != 0 ? c.fileName : "missing.exe";
    const std::filesystem::path program = dir.path() / name;
    if (c.fileName[0] != 0) {
      std::filesystem::copy_file(recorder, program);
    }
    const WString path = platform::toUtf16("PATH=") + dir.path().wstring() + WCHAR{';'} +
                         platform::toUtf16(std::getenv("PATH"));
    if (c.bare) {
      ASSERT_EQ(_wputenv(path.c_str()), 0);
    }
    const std::u8string full = program.u8string();
    const std::string started =
        c.bare ? name.substr(0, name.size() - 4) : std::string(full.begin(), full.end());
    const auto failure = companion::startProgram({started, c.arguments});
    EXPECT_EQ(failure ? std::optional(failure->code) : std::nullopt, c.failure) << c.name;
    if (!failure) {
      EXPECT_EQ(awaitFile(dir.path() / (name + ".args")), recorded(c.arguments)) << c.name;
    }
  }
}

}  // namespace
