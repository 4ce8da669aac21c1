// Commands to the GTK SciTE through its director pipes, each within the channel's time limit.
#pragma once

#include <utility>

#include "companion/run_system.h"
#include "companion/scite/scite.h"

namespace companion {

// The SciTE that runs this program, as director::gtk::startClient found it.
class PipeScite final : public Scite {
public:
  // `trace` marks each exchange's start and end.
  explicit PipeScite(bool reached, TraceStep trace = traceNothing)
      : reached_(reached), trace_(std::move(trace)) {}

  [[nodiscard]] bool inReach() const noexcept override { return reached_; }
  std::optional<Answer> send(std::string_view command, bool expectReply) const override;
  [[nodiscard]] std::vector<Answer> sendAll(const std::vector<Command>& commands) const override;

private:
  bool reached_;
  TraceStep trace_;
};

}  // namespace companion
