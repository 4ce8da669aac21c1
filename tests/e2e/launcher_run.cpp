// Install folders and runs of launcher.exe for end-to-end tests.
#include "launcher_run.h"

#include <stdexcept>
#include <system_error>
#include <vector>

#include "tests/support/exe_directory.h"
#include "tests/support/files.h"

namespace e2e {

namespace fs = std::filesystem;
using test_support::exeDirectory;
using test_support::readFile;
using test_support::writeFile;

namespace {

fs::path freshDirectory() {
  static int counter = 0;
  const fs::path dir = exeDirectory() / "e2e-runs" /
                       (std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter));
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

// An inheritable handle to a new file that a child writes one of its streams into.
HANDLE inheritableFile(const fs::path& path) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    throw std::runtime_error("cannot create " + utf8(path));
  }
  return file;
}

}  // namespace

std::string utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

Install::Install(Companion companion, bool withEngine) : dir_(freshDirectory()) {
  const fs::path bin = exeDirectory();
  fs::copy_file(bin / "launcher.exe", launcher());
  if (withEngine) {
    fs::copy_file(bin / "pcre64.dll", dir_ / "pcre64.dll");
  }
  switch (companion) {
    case Companion::recorder:
      fs::copy_file(bin / "websearch_double.exe", this->companion());
      break;
    case Companion::searching:
      useSearchingRecorder();
      break;
    case Companion::directory:
      fs::create_directory(this->companion());
      break;
    case Companion::notAProgram:
      writeFile(this->companion(), "this is not a program\r\n");
      break;
    case Companion::missing:
      break;
  }
}

Install::Install(const fs::path& folder) : dir_(freshDirectory()) {
  for (const auto& entry : fs::directory_iterator(folder)) {
    fs::copy_file(entry.path(), dir_ / entry.path().filename());
  }
}

void Install::useSearchingRecorder() const {
  fs::remove(companion());
  fs::copy_file(exeDirectory() / "websearch_recording.exe", companion());
}

Install::~Install() {
  std::error_code ignored;
  fs::remove_all(dir_, ignored);
}

void Install::useEngine(const fs::path& dll) const {
  // Removed first: overwriting in copy_file is refused under Wine.
  fs::remove(dir_ / "pcre64.dll");
  fs::copy_file(dll, dir_ / "pcre64.dll");
}

void Install::companionExitCode(std::int64_t code) const {
  writeFile(dir_ / "websearch.exe.exit", std::to_string(code));
}

LauncherResult Install::run(DWORD timeoutMs) const {
  const fs::path out = dir_ / "launcher.stdout";
  const fs::path err = dir_ / "launcher.stderr";
  HANDLE outFile = inheritableFile(out);
  HANDLE errFile = inheritableFile(err);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = outFile;
  startup.hStdError = errFile;
  std::wstring commandLine = L"\"" + launcher().wstring() + L"\"";
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0,
                                      nullptr, dir_.c_str(), &startup, &process);
  CloseHandle(outFile);
  CloseHandle(errFile);
  if (!started) {
    throw std::runtime_error("cannot start launcher.exe: error " + std::to_string(GetLastError()));
  }
  LauncherResult result;
  if (WaitForSingleObject(process.hProcess, timeoutMs) != WAIT_OBJECT_0) {
    result.timedOut = true;
    TerminateProcess(process.hProcess, 99);
    WaitForSingleObject(process.hProcess, INFINITE);
  }
  GetExitCodeProcess(process.hProcess, &result.exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  result.standardOutput = readFile(out);
  result.standardError = readFile(err);
  return result;
}

std::string Install::openedUrls() const {
  return readFile(dir_ / "websearch-opened.txt");
}

std::optional<websearch_double::Record> Install::companionRecord() const {
  const fs::path record = dir_ / "websearch.exe.record";
  if (!fs::exists(record)) {
    return std::nullopt;
  }
  return websearch_double::parseRecord(readFile(record));
}

}  // namespace e2e
