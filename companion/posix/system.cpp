// The system under a run on Linux: the settings file beside the program, the converters of the C
// library, xdg-open or the program named, the history file.
#include "companion/posix/system.h"

#include <unistd.h>

#include <thread>

#include "companion/posix/hand_over.h"
#include "companion/recent/history.h"
#include "companion/settings/ini.h"
#include "platform/file.h"
#include "platform/posix/charset.h"
#include "platform/posix/executable.h"
#include "platform/posix/replace_file.h"

namespace companion {

RunSystem posixSystem(const TraceStep& trace) {
  return {.editor = EditorKind::gtk,
          .toUtf8 =
              [](std::string_view bytes, const Encoding& encoding) {
                return platform::utf8FromCharset(bytes, encoding.charset);
              },
          .readIni =
              [] {
                return iniFileIn(platform::ownFolder(),
                                 [](const std::string& path, std::size_t most) {
                                   return platform::readFileStart(path, most);
                                 });
              },
          .openInBrowser =
              [trace](const std::string& url) {
                auto verdict = handOver(url);
                trace("xdg-open started");
                return verdict;
              },
          .programLineRules = ProgramLineRules::Posix,
          .startProgram = startProgram,
          .readFile =
              [](const std::string& path) {
                return platform::readFileStart(path, kMaxHistoryFileBytes);
              },
          .replaceFile = platform::replaceFile,
          .pause = [](std::chrono::milliseconds wait) { std::this_thread::sleep_for(wait); },
          .processId = [] { return static_cast<std::uint32_t>(getpid()); },
          .trace = trace};
}

}  // namespace companion
