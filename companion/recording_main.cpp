// websearch_recording.exe: the companion for end-to-end tests. It runs the same code, but instead
// of starting a browser it appends each URL it would open to websearch-opened.txt beside itself.
#include <filesystem>
#include <fstream>

#include "companion/system.h"
#include "platform/text.h"

namespace {

BOOL WINAPI recordOpen(SHELLEXECUTEINFOW* request) {
  std::ofstream record(std::filesystem::path(companion::ownFolder()) / "websearch-opened.txt",
                       std::ios::binary | std::ios::app);
  record << platform::toUtf8(request->lpFile) << '\n';
  return TRUE;
}

}  // namespace

int main() {
  if (!companion::bindSystemFunctions()) {
    return static_cast<int>(companion::ExitCode::SystemUnavailable);
  }
  (void)companion::startDirectorClient();
  companion::shell32::ShellExecuteExW = recordOpen;
  return companion::runBound();
}
