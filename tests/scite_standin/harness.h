// Runs a SciTE stand-in for a test: a fresh directory, the scenario, the process, the wait until
// it is ready, the stop, and the reading of what it recorded. Windows build only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "results.h"
#include "scenario.h"
#include "tests/support/temp_dir.h"

namespace standin {

class StandInRun {
public:
  // Starts scite_standin.exe (beside the running exe) and waits until its windows are ready.
  explicit StandInRun(const Options& options);
  StandInRun(const StandInRun&) = delete;
  StandInRun& operator=(const StandInRun&) = delete;
  ~StandInRun();

  // Asks the stand-in to end and waits for it; returns its exit code. Idempotent.
  DWORD stop();

  [[nodiscard]] HWND mainWindow() const noexcept { return main_; }
  [[nodiscard]] HWND directorWindow() const noexcept { return director_; }
  [[nodiscard]] DWORD processId() const noexcept { return processId_; }
  [[nodiscard]] const std::filesystem::path& directory() const noexcept { return dir_.path(); }

  // What the stand-in (or its extra director `extra`, counted from 1) recorded so far.
  [[nodiscard]] std::vector<FrameRecord> transcript(int extra = 0) const;
  [[nodiscard]] std::string output() const;
  [[nodiscard]] PropertyMap properties() const;

private:
  [[noreturn]] void abandon(const std::string& reason);

  test_support::TempDir dir_;
  PROCESS_INFORMATION process_{};
  HWND main_{};
  HWND director_{};
  DWORD processId_ = 0;
  bool stopped_ = false;
};

// The frame's command text: the bytes after ":<number>:", without a terminating NUL.
[[nodiscard]] std::string commandOf(const FrameRecord& frame);

}  // namespace standin
