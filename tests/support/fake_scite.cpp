// The fake SciTE's answers, returned as a transport returns them: the values as SciTE holds them.
#include "tests/support/fake_scite.h"

#include <chrono>
#include <cstdint>


namespace test_support {

namespace {

constexpr std::string_view kAskProperty = "askproperty:";

}  // namespace

std::optional<companion::Answer> FakeScite::send(std::string_view command,
                                                 bool expectReply) const {
  sent.push_back({std::string(command), expectReply});
  if (sent.size() > takes) {
    return std::nullopt;
  }
  if (!command.starts_with(kAskProperty)) {
    return companion::Answer{};
  }
  return companion::Answer{.text = nextAnswer(command.substr(kAskProperty.size())),
                           .cut = repliesCut};
}

std::string FakeScite::nextAnswer(std::string_view key) const {
  const std::size_t index = asked_[std::string(key)]++;
  const auto scripted = answers.find(key);
  if (scripted == answers.end() || index >= scripted->second.size()) {
    return {};
  }
  return scripted->second[index];
}

companion::RunSystem recordingSystem(Handed& handed, bool startFails) {
  return {.readIni = [] { return companion::IniFile{}; },
          .openInBrowser =
              [&handed](const std::string& url) -> std::optional<companion::BrowserFailure> {
            handed.byDefault = url;
            return std::nullopt;
          },
          .startProgram = [&handed, startFails](const companion::ProgramCommand& command)
              -> std::optional<companion::BrowserFailure> {
            handed.started = command;
            if (startFails) {
              return companion::BrowserFailure{.reason = "No such file or directory", .code = 2};
            }
            return std::nullopt;
          },
          .pause = [](std::chrono::milliseconds) {},
          .processId = [] { return std::uint32_t{7}; }};
}

}  // namespace test_support
