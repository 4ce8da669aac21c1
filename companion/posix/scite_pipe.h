// Commands to the GTK SciTE through its director pipes, each within the channel's time limit.
#pragma once

#include "companion/scite/scite.h"

namespace companion {

// The SciTE that runs this program, as director::gtk::startClient found it.
class PipeScite final : public Scite {
public:
  explicit PipeScite(bool reached) : reached_(reached) {}

  [[nodiscard]] bool inReach() const noexcept override { return reached_; }
  std::optional<Answer> send(std::string_view command, bool expectReply) const override;
  [[nodiscard]] std::vector<Answer> sendAll(const std::vector<Command>& commands) const override;

private:
  bool reached_;
};

}  // namespace companion
