// A SciTE in memory for the companion's run: it records every command it is sent, answers
// askproperty: from a script, and can stop taking commands from a given one on, as a SciTE that
// closed or hangs in a modal dialog does. It can also run the Lua it is sent in the stand-in's
// real Lua, so that a test asserts what the Lua does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "companion/run_system.h"
#include "companion/scite/scite.h"
#include "lua_extender.h"

namespace test_support {

struct SentCommand {
  std::string command;
  bool expectReply = false;
  bool operator==(const SentCommand&) const = default;
};

// What the user does at SciTE's user strip before one of the companion's looks.
enum class StripAct {
  wait,       // nothing yet
  focusIn,    // the strip takes the focus (an event of ours)
  search,     // Search clicked, or Return in a field
  copy,       // Copy address clicked, or Alt+P
  cancel,     // Cancel clicked
  escape,     // Escape: the strip closes, the editor gets the focus, no event
  clickAway,  // a click into the document or the output pane: the strip stays open
  replaced,   // the user's own script shows a strip over ours
};

struct StripStep {
  StripAct act = StripAct::wait;
  std::string query;   // the query field's text at a click
  std::string engine;  // the engine field's text at a click
};

// The strip as the fake plays it: the state the companion's Lua keeps in its properties, read
// back through askproperty:, and what became of the strip.
struct StripModel {
  bool shown = false;
  bool focused = false;  // the strip had the focus
  std::string state;     // as the run's Lua sets it
  std::string query;
  std::string engine;
  bool closedByTidy = false;
  bool operator==(const StripModel&) const = default;
};

class FakeScite : public companion::Scite {
public:
  [[nodiscard]] bool inReach() const noexcept override { return reached; }
  // Records the command, also one that is not taken; a taken askproperty: is answered.
  std::optional<companion::Answer> send(std::string_view command, bool expectReply) const override;
  // Records how many commands go at once, then sends them one by one.
  [[nodiscard]] std::vector<companion::Answer> sendAll(
      const std::vector<companion::Command>& commands) const override;

  // Each key's raw values, one for each time it is asked, in order; asked more often, or never
  // scripted, it answers an empty value, as SciTE answers for an undefined key.
  std::map<std::string, std::vector<std::string>, std::less<>> answers;
  // How many commands SciTE takes; every later one fails to send.
  std::size_t takes = std::numeric_limits<std::size_t>::max();
  bool reached = true;
  bool repliesCut = false;  // every reply arrives cut, as past the GTK SciTE's reply pipe
  mutable std::vector<SentCommand> sent;
  // The user at the strip, a step before each look; past the end the user waits.
  std::vector<StripStep> stripUser;
  mutable StripModel strip;
  mutable std::vector<std::size_t> batches;  // the size of each sendAll, in order

  // From now on each dostring runs in a real Lua over `state` (the editor, its output pane and
  // its properties), which outlives this SciTE: an askproperty: no script answers reads the
  // state's properties as the Lua left them, and a property: command sets one there. What the Lua
  // raised goes to luaErrors.
  void runLuaIn(standin::EditorState& state);
  mutable std::vector<std::string> luaErrors;

private:
  [[nodiscard]] std::string nextAnswer(std::string_view key) const;
  // Plays the strip's Lua: shown, looked at, tidied.
  void playStrip(std::string_view lua) const;

  mutable std::size_t stripLooks_ = 0;
  standin::EditorState* luaState_ = nullptr;
  std::shared_ptr<standin::LuaExtender> lua_;

  mutable std::map<std::string, std::size_t, std::less<>> asked_;
};

// What a run handed on: the addresses the default browser got and the programs it started, each
// in order, and every hand-over in the order they started ("browser <url>", "program <name>"),
// with each default browser's verdict where it is awaited ("verdict <url>"); the files it read
// and wrote, by path.
struct Handed {
  std::vector<std::string> byDefault;
  std::vector<companion::ProgramCommand> started;
  std::vector<std::string> order;
  // The addresses the default browser fails to open and the programs that fail to start.
  std::vector<std::string> failing;
  std::map<std::string, std::string, std::less<>> files;
  std::optional<std::string> writeFails;  // why every write fails
};

// The time a recording system's run starts at, in seconds as Lua's os.time() counts.
inline constexpr std::int64_t kNow = 1'800'000'000;

// A system for the run that records into `handed`, reads no websearch.ini, reads and writes
// files in `handed`, never pauses, has process id 7 and starts at kNow; a named program fails to
// start when `startFails`, and so does any address or program in `handed.failing`. Rows set the
// rest.
[[nodiscard]] companion::RunSystem recordingSystem(Handed& handed, bool startFails = false);

}  // namespace test_support
