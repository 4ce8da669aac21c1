// Times launcher.exe against the SciTE stand-in (a benchmark, not a test): from the process start
// to the first frame SciTE receives (the start-up), to the companion's start, and to the
// launcher's exit; then, with the real companion (its recording build), to the URL reaching the
// shell. It watches the stand-in's transcript and the companions' records from outside, so the
// product runs unchanged.
//   launcher_bench.exe [runs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "harness.h"
#include "launcher_run.h"

namespace {

namespace fs = std::filesystem;

double secondsNow() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / frequency;
}

bool nonEmptyFile(const fs::path& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  return GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) != 0 &&
         (data.nFileSizeLow != 0 || data.nFileSizeHigh != 0);
}

struct Timing {
  double firstFrame = -1;
  double companion = -1;
  double url = -1;
  double exit = -1;
};

Timing timeOneRun(const e2e::Install& install, const fs::path& transcript) {
  const fs::path record = install.directory() / "websearch.exe.record";
  const fs::path opened = install.directory() / "websearch-opened.txt";
  std::error_code ignored;
  fs::remove(record, ignored);
  fs::remove(opened, ignored);
  std::wstring commandLine = L"\"" + install.launcher().wstring() + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  Timing timing;
  const double start = secondsNow();
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      install.directory().c_str(), &startup, &process)) {
    std::fprintf(stderr, "cannot start launcher.exe: error %lu\n", GetLastError());
    std::exit(1);
  }
  // Poll the stand-in's transcript and the companion's record until the launcher has ended.
  while (timing.exit < 0) {
    const double now = secondsNow() - start;
    if (timing.firstFrame < 0 && nonEmptyFile(transcript)) {
      timing.firstFrame = now;
    }
    if (timing.companion < 0 && fs::exists(record)) {
      timing.companion = now;
    }
    if (timing.url < 0 && nonEmptyFile(opened)) {
      timing.url = now;
    }
    if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) {
      timing.exit = now;
    }
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return timing;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? -1 : values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  standin::Options options;
  options.document = "search the web";
  options.caret = static_cast<std::int64_t>(options.document.size());
  const e2e::Install install;
  const e2e::Install searching(e2e::Companion::searching);
  std::vector<double> firstFrames, companions, exits, urls, searchExits;
  for (int i = 0; i < runs; ++i) {
    // A fresh stand-in each run, so the transcript shows this run's first frame.
    {
      standin::StandInRun scite(options);
      const Timing timing = timeOneRun(install, scite.directory() / "transcript");
      firstFrames.push_back(timing.firstFrame);
      companions.push_back(timing.companion);
      exits.push_back(timing.exit);
    }
    standin::StandInRun scite(options);
    const Timing timing = timeOneRun(searching, scite.directory() / "transcript");
    urls.push_back(timing.url);
    searchExits.push_back(timing.exit);
  }
  std::printf("runs: %d\n", runs);
  std::printf("median start-up (process start to first frame at SciTE): %7.1f ms\n",
              1000 * median(firstFrames));
  std::printf("median process start to companion start:                 %7.1f ms\n",
              1000 * median(companions));
  std::printf("median process start to launcher exit:                   %7.1f ms\n",
              1000 * median(exits));
  std::printf("with the real companion:\n");
  std::printf("median process start to the URL at the shell:            %7.1f ms\n",
              1000 * median(urls));
  std::printf("median process start to launcher exit:                   %7.1f ms\n",
              1000 * median(searchExits));
  // The same launcher starts either companion at the same moment, so the difference is the
  // companion's own share: its start to the URL at the shell.
  std::printf("companion's share (URL at the shell less companion start): %7.1f ms\n",
              1000 * (median(urls) - median(companions)));
  return 0;
}
