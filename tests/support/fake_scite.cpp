// The fake SciTE's answers, returned as a transport returns them: the values as SciTE holds them.
#include "tests/support/fake_scite.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <utility>

namespace test_support {

namespace {

constexpr std::string_view kAskProperty = "askproperty:";
constexpr std::string_view kProperty = "property:";
constexpr std::string_view kDoString = "extender:dostring ";
constexpr std::string_view kStripKeys = "websearch.strip.";

[[nodiscard]] bool contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

}  // namespace

std::optional<companion::Answer> FakeScite::send(std::string_view command, bool expectReply) const {
  sent.push_back({std::string(command), expectReply});
  if (sent.size() > takes) {
    return std::nullopt;
  }
  if (command.starts_with(kDoString)) {
    const std::string_view lua = command.substr(kDoString.size());
    playStrip(lua);
    if (lua_) {
      if (auto error = lua_->doString(lua)) {
        luaErrors.push_back(std::move(*error));
      }
    }
  }
  if (luaState_ != nullptr && command.starts_with(kProperty)) {
    const std::string_view setting = command.substr(kProperty.size());
    const std::size_t equals = setting.find('=');
    luaState_->properties[std::string(setting.substr(0, equals))] =
        equals == std::string_view::npos ? "" : std::string(setting.substr(equals + 1));
  }
  if (!command.starts_with(kAskProperty)) {
    return companion::Answer{};
  }
  const std::string_view key = command.substr(kAskProperty.size());
  if (luaState_ != nullptr && answers.find(key) == answers.end()) {
    const auto held = luaState_->properties.find(key);
    return companion::Answer{
        .text = held == luaState_->properties.end() ? std::string() : held->second,
        .cut = repliesCut};
  }
  return companion::Answer{.text = nextAnswer(key), .cut = repliesCut};
}

void FakeScite::runLuaIn(standin::EditorState& state) {
  luaState_ = &state;
  lua_ = std::make_shared<standin::LuaExtender>(state);
}

void FakeScite::playStrip(std::string_view lua) const {
  const bool ours = strip.state == "open" || strip.state == "focused";
  if (contains(lua, "scite.StripShow('')")) {  // the tidy step: ours closed, unless replaced
    const bool closes = strip.shown && strip.state != "replaced" && !strip.state.empty();
    strip = {.shown = strip.shown && !closes, .focused = strip.focused, .closedByTidy = closes};
  } else if (contains(lua, "editor.Focus") && ours) {  // a look
    const StripStep step = stripLooks_ < stripUser.size() ? stripUser[stripLooks_] : StripStep{};
    ++stripLooks_;
    switch (step.act) {
      case StripAct::wait:
        break;
      case StripAct::focusIn:
        strip.focused = true;
        strip.state = "focused";
        break;
      case StripAct::search:
      case StripAct::copy:
      case StripAct::cancel:  // a click: the fields are read inside it
        strip.state = step.act == StripAct::search ? "search"
                      : step.act == StripAct::copy ? "copy"
                                                   : "cancel";
        strip.query = step.query;
        strip.engine = step.engine;
        break;
      case StripAct::escape:
        strip.shown = false;
        [[fallthrough]];
      case StripAct::clickAway:
        // The focus back in SciTE counts once the strip has had it.
        strip.state = strip.focused ? "left" : strip.state;
        break;
      case StripAct::replaced:
        strip.state = "replaced";
        break;
    }
  } else if (contains(lua, ".show('")) {  // shown
    strip = {.shown = true, .state = "open"};
  }
}

std::vector<companion::Answer> FakeScite::sendAll(
    const std::vector<companion::Command>& commands) const {
  batches.push_back(commands.size());
  return Scite::sendAll(commands);
}

std::string FakeScite::nextAnswer(std::string_view key) const {
  if (key.starts_with(kStripKeys) && answers.find(key) == answers.end()) {
    if (contains(key, ".state.")) {
      return strip.state;
    }
    return contains(key, ".query.") ? strip.query : strip.engine;
  }
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
            return [&handed, url, failed]() -> std::optional<companion::BrowserFailure> {
              handed.order.push_back("verdict " + url);
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
          .readFile = [&handed](const std::string& path) -> std::optional<std::string> {
            const auto file = handed.files.find(path);
            return file == handed.files.end() ? std::nullopt : std::optional(file->second);
          },
          .replaceFile = [&handed](const std::string& path,
                                   const std::string& text) -> std::optional<std::string> {
            if (!handed.writeFails) {
              handed.files[path] = text;
            }
            return handed.writeFails;
          },
          .pause = [](std::chrono::milliseconds) {},
          .processId = [] { return std::uint32_t{7}; },
          .now = [] { return kNow; }};
}

}  // namespace test_support
