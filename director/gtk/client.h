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

namespace director::gtk {

// How long one command may wait for SciTE: a modal dialog can hold it.
inline constexpr std::chrono::milliseconds kAnswerLimit{5000};

// Finds the SciTE that runs this program (its parent chain) and opens the channel to it, which
// replaces any earlier one; false, quietly, when there is none: every command then reports that
// SciTE is out of reach.
bool startClient(const Places& places = {}, std::chrono::milliseconds limit = kAnswerLimit);

// Sends the requests at once, as the channel's sendAll does; each reply as SendCommand leaves it
// in director::received, in order. Nothing when SciTE is out of reach or did not take them.
[[nodiscard]] std::optional<std::vector<Reply>> sendAll(std::span<const Request> requests);

// True when the last reply SciTE gave did not arrive whole.
[[nodiscard]] bool lastReplyCut() noexcept;

// The most text one output: command may carry.
[[nodiscard]] std::size_t outputRoom() noexcept;

}  // namespace director::gtk
