// Runs launcher.exe for end-to-end tests: a fresh install folder with the exe, the engine DLL and
// a companion, the run with its standard streams captured, and what the companion recorded.
// Windows build only; a test calls the system directly.
#pragma once

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "record.h"

namespace e2e {

struct LauncherResult {
  DWORD exitCode = 0;
  bool timedOut = false;
  std::string standardOutput;
  std::string standardError;
};

// recorder: records its command line; searching: the real companion with a recorder where it
// would open the browser.
enum class Companion { recorder, searching, missing, directory, notAProgram };

class Install {
public:
  // A folder of its own holding launcher.exe, and unless told otherwise pcre64.dll and the
  // recording companion as websearch.exe.
  explicit Install(Companion companion = Companion::recorder, bool withEngine = true);
  // A copy of every file of `folder`, e.g. the folder the release zip unpacks to.
  explicit Install(const std::filesystem::path& folder);
  Install(const Install&) = delete;
  Install& operator=(const Install&) = delete;
  ~Install();

  [[nodiscard]] const std::filesystem::path& directory() const noexcept { return dir_; }
  [[nodiscard]] std::filesystem::path launcher() const { return dir_ / "launcher.exe"; }
  [[nodiscard]] std::filesystem::path companion() const { return dir_ / "websearch.exe"; }

  // Replaces the engine DLL beside the launcher by another build of it.
  void useEngine(const std::filesystem::path& dll) const;
  // The exit code the recording companion ends with.
  void companionExitCode(std::int64_t code) const;
  // Puts the recording build of the real companion in as websearch.exe.
  void useSearchingRecorder() const;

  [[nodiscard]] LauncherResult run(DWORD timeoutMs = 30000) const;
  [[nodiscard]] std::optional<websearch_double::Record> companionRecord() const;
  // The URLs the searching companion would have opened, one per line.
  [[nodiscard]] std::string openedUrls() const;

private:
  std::filesystem::path dir_;
};

// UTF-8 text of a path, as the launcher writes it.
[[nodiscard]] std::string utf8(const std::filesystem::path& path);

}  // namespace e2e
