// A SciTE in memory for the companion's run: it records every command it is sent, answers
// askproperty: from a script, and can stop taking commands from a given one on, as a SciTE that
// closed or hangs in a modal dialog does.
#pragma once

#include <cstddef>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "companion/run_system.h"
#include "companion/scite.h"

namespace test_support {

struct SentCommand {
  std::string command;
  bool expectReply = false;
  bool operator==(const SentCommand&) const = default;
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
  mutable std::vector<std::size_t> batches;  // the size of each sendAll, in order

private:
  [[nodiscard]] std::string nextAnswer(std::string_view key) const;

  mutable std::map<std::string, std::size_t, std::less<>> asked_;
};

// What a run handed on: the addresses the default browser got and the programs it started, each
// in order, and every hand-over in the order they started ("browser <url>", "program <name>").
struct Handed {
  std::vector<std::string> byDefault;
  std::vector<companion::ProgramCommand> started;
  std::vector<std::string> order;
  // The addresses the default browser fails to open and the programs that fail to start.
  std::vector<std::string> failing;
};

// A system for the run that records into `handed`, reads no websearch.ini, never pauses and has
// process id 7; a named program fails to start when `startFails`, and so does any address or
// program in `handed.failing`. Rows set the rest.
[[nodiscard]] companion::RunSystem recordingSystem(Handed& handed, bool startFails = false);

}  // namespace test_support
