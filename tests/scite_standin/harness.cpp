// Starting, waiting for, stopping and reading a SciTE stand-in.
#include "harness.h"

#include <chrono>
#include <fstream>
#include <stdexcept>
#include <thread>

#include "tests/support/exe_directory.h"
#include "tests/support/files.h"

namespace standin {

namespace {

namespace fs = std::filesystem;
using test_support::exeDirectory;
using test_support::readFile;
using test_support::writeFile;

constexpr auto kReadyWait = std::chrono::seconds(30);
constexpr DWORD kStopWaitMilliseconds = 15000;

std::uintptr_t readyValue(const std::string& ready, std::string_view key) {
  const auto at = ready.find(std::string(key) + "=");
  if (at == std::string::npos) {
    throw std::runtime_error("stand-in ready file without " + std::string(key));
  }
  return static_cast<std::uintptr_t>(std::stoll(ready.substr(at + key.size() + 1)));
}

}  // namespace

StandInRun::StandInRun(const Options& options) : dir_("scite-standin") {
  writeFile(dir_.path() / "scenario", scenarioText(options));
  const fs::path exe = exeDirectory() / "scite_standin.exe";
  std::wstring commandLine = L"\"" + exe.wstring() + L"\" \"" + dir_.path().wstring() + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  const auto start = [&] {
    return CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &process_) != FALSE;
  };
  // A loaded Wine session has been seen to refuse a start once and take the next; a second
  // refusal is a failure, said with the system's code.
  if (!start()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    if (!start()) {
      throw std::runtime_error("cannot start " + exe.string() + ": error " +
                               std::to_string(GetLastError()));
    }
  }
  const auto deadline = std::chrono::steady_clock::now() + kReadyWait;
  // Under Wine the file can be seen a moment before it can be read, so its text is awaited.
  std::string ready;
  while ((ready = readFile(dir_.path() / "ready")).find("\ndirector=") == std::string::npos) {
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0) {
      abandon("the stand-in ended before it was ready");
    }
    if (std::chrono::steady_clock::now() > deadline) {
      abandon("the stand-in did not get ready");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  processId_ = static_cast<DWORD>(readyValue(ready, "pid"));
  main_ = reinterpret_cast<HWND>(readyValue(ready, "main"));
  director_ = reinterpret_cast<HWND>(readyValue(ready, "director"));
}

StandInRun::~StandInRun() {
  stop();
  CloseHandle(process_.hProcess);
}

void StandInRun::abandon(const std::string& reason) {
  // The destructor does not run for a constructor that throws.
  const DWORD exitCode = stop();
  CloseHandle(process_.hProcess);
  throw std::runtime_error(reason + " (exit code " + std::to_string(exitCode) + ")");
}

DWORD StandInRun::stop() {
  DWORD exitCode = 0;
  if (!stopped_) {
    stopped_ = true;
    std::ofstream(dir_.path() / "quit").close();
    if (WaitForSingleObject(process_.hProcess, kStopWaitMilliseconds) != WAIT_OBJECT_0) {
      TerminateProcess(process_.hProcess, 3);
      WaitForSingleObject(process_.hProcess, kStopWaitMilliseconds);
    }
    CloseHandle(process_.hThread);
  }
  GetExitCodeProcess(process_.hProcess, &exitCode);
  return exitCode;
}

std::vector<FrameRecord> StandInRun::transcript(int extra) const {
  const fs::path dir = extra == 0 ? dir_.path() : dir_.path() / ("extra" + std::to_string(extra));
  return parseTranscript(readFile(dir / "transcript"));
}

std::string StandInRun::output() const {
  return readFile(dir_.path() / "output");
}

PropertyMap StandInRun::properties() const {
  return parseProperties(readFile(dir_.path() / "properties"));
}

std::string commandOf(const FrameRecord& frame) {
  std::string_view bytes = frame.bytes;
  if (!bytes.empty() && bytes.back() == '\0') {
    bytes.remove_suffix(1);
  }
  const auto second = bytes.find(':', 1);
  return std::string(second == std::string_view::npos ? bytes : bytes.substr(second + 1));
}

}  // namespace standin
