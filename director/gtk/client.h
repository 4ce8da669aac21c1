// The director client over the GTK SciTE's pipes: the channel to the SciTE that runs this
// program, behind the same SendCommand and ClearOutput the operations use on Windows.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "director/gtk/channel.h"
#include "director/gtk/discovery.h"
#include "director/replies.h"

namespace director::gtk {

// Finds the SciTE that runs this program (its parent chain) and opens the channel to it, which
// replaces any earlier one; false, quietly, when there is none: every command then reports that
// SciTE is out of reach.
bool startClient(const Places& places = {},
                 std::chrono::milliseconds limit = director::kAnswerLimit);

// For a caller that takes SciTE's replies as they come, not from director::received: the
// requests sent at once, as the channel's sendAll does, and each reply raw, in order. Nothing when
// SciTE is out of reach or did not take them.
[[nodiscard]] std::optional<std::vector<Reply>> sendAll(std::span<const Request> requests);

// The same for one command: its reply raw when it expects one, else an empty one; nothing when
// SciTE is out of reach or did not take it.
[[nodiscard]] std::optional<Reply> exchange(std::string_view command, bool expectReply);

// True when the last reply SendCommand got did not arrive whole: the launcher's question.
[[nodiscard]] bool lastReplyCut() noexcept;

// The most text one output: command may carry.
[[nodiscard]] std::size_t outputRoom() noexcept;

}  // namespace director::gtk
