// websearch on Linux: the selection the launcher passes as its one argument, the channel to the
// SciTE that runs it, then the same run as on Windows. Nothing is bound by name.
#include <unistd.h>

#include <cstdio>
#include <thread>

#include "companion/posix/scite_pipe.h"
#include "companion/posix/trace.h"
#include "companion/posix/xdg_open.h"
#include "companion/query/command_line.h"
#include "companion/recent/history.h"
#include "companion/run.h"
#include "companion/settings/ini.h"
#include "director/escapes.h"
#include "director/gtk/channel.h"
#include "director/gtk/client.h"
#include "platform/file.h"
#include "platform/owner.h"
#include "platform/posix/charset.h"
#include "platform/posix/executable.h"
#include "platform/posix/linked_pcre.h"
#include "platform/posix/replace_file.h"

namespace {

[[nodiscard]] companion::RunSystem posixSystem(const companion::TraceStep& trace) {
  return {.editor = companion::EditorKind::gtk,
          .toUtf8 =
              [](std::string_view bytes, const companion::Encoding& encoding) {
                return platform::utf8FromCharset(bytes, encoding.charset);
              },
          .readIni =
              [] {
                return companion::iniFileIn(platform::ownFolder(),
                                            [](const std::string& path, std::size_t most) {
                                              return platform::readFileStart(path, most);
                                            });
              },
          .openInBrowser =
              [trace](const std::string& url) {
                auto verdict = companion::handOver(url);
                trace("xdg-open started");
                return verdict;
              },
          .commandLineRules = companion::CommandLineRules::Posix,
          .startProgram = companion::startProgram,
          .readFile =
              [](const std::string& path) {
                return platform::readFileStart(path, companion::kMaxHistoryFileBytes);
              },
          .replaceFile = platform::replaceFile,
          .pause = [](std::chrono::milliseconds wait) { std::this_thread::sleep_for(wait); },
          .processId = [] { return static_cast<std::uint32_t>(getpid()); },
          .trace = trace};
}

}  // namespace

int main(int argc, char* argv[]) {
  const companion::TraceStep trace = companion::traceFromEnvironment();
  trace("started");
  director::gtk::ignoreBrokenPipes();
  platform::useLinkedPcre();
  const companion::PipeScite scite(director::gtk::startClient(), trace);
  trace("SciTE found");
  return companion::runSaying(scite, [&] {
    const std::string text = argc > 1 ? director::unescapeReply(argv[1]) : std::string();
    return companion::searchSelection(scite, text, posixSystem(trace));
  });
}
