// websearch_recording.exe: the companion for end-to-end tests. It runs the same code, but instead
// of starting a browser it appends each URL it would open to websearch-opened.txt beside itself,
// and it leaves websearch-comctl32.txt there when its start bound the common controls, which a
// program of hidden windows never needs. It traces as the companion does.
#include <filesystem>
#include <fstream>

#include "companion/win32/bindings.h"
#include "companion/win32/system.h"
#include "companion/win32/trace.h"
#include "platform/text.h"
#include "windowhost/bindings.h"

namespace {

void record(const char* file, std::string_view line) {
  std::ofstream(std::filesystem::path(companion::ownFolder()) / file,
                std::ios::binary | std::ios::app)
      << line << '\n';
}

BOOL WINAPI recordOpen(SHELLEXECUTEINFOW* request) {
  record("websearch-opened.txt", platform::toUtf8(request->lpFile));
  return TRUE;
}

}  // namespace

int main() {
  const companion::TraceStep trace = companion::traceFromEnvironment();
  trace("started");
  if (!companion::bindSystemFunctions(trace)) {
    return static_cast<int>(companion::ExitCode::SystemUnavailable);
  }
  const auto receiver = companion::startDirectorClient(trace);
  companion::shell32::ShellExecuteExW = recordOpen;
  const int code = companion::runBound(trace);
  if (windowhost::comctl32::InitCommonControlsEx != nullptr) {
    record("websearch-comctl32.txt", "bound");
  }
  return code;
}
