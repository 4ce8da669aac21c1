// The fake SciTE's answers, returned as a transport returns them: the values as SciTE holds them.
#include "tests/support/fake_scite.h"

#include <algorithm>
#include <chrono>
#include <cstdint>

namespace test_support {

namespace {

constexpr std::string_view kAskProperty = "askproperty:";

}  // namespace

std::optional<companion::Answer> FakeScite::send(std::string_view command, bool expectReply) const {
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

std::vector<companion::Answer> FakeScite::sendAll(
    const std::vector<companion::Command>& commands) const {
  batches.push_back(commands.size());
  return Scite::sendAll(commands);
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
  const auto fails = [&handed](const std::string& what) {
    return std::find(handed.failing.begin(), handed.failing.end(), what) != handed.failing.end();
  };
  return {.readIni = [] { return companion::IniFile{}; },
          .openInBrowser = [&handed, fails](const std::string& url) -> companion::BrowserVerdict {
            handed.byDefault.push_back(url);
            handed.order.push_back("browser " + url);
            const bool failed = fails(url);
            return [failed]() -> std::optional<companion::BrowserFailure> {
              if (failed) {
                return companion::BrowserFailure{.reason = "No application", .code = 4};
              }
              return std::nullopt;
            };
          },
          .startProgram = [&handed, startFails, fails](const companion::ProgramCommand& command)
              -> std::optional<companion::BrowserFailure> {
            handed.started.push_back(command);
            handed.order.push_back("program " + command.program);
            if (startFails || fails(command.program)) {
              return companion::BrowserFailure{.reason = "No such file or directory", .code = 2};
            }
            return std::nullopt;
          },
          .pause = [](std::chrono::milliseconds) {},
          .processId = [] { return std::uint32_t{7}; }};
}

}  // namespace test_support
