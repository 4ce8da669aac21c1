// Finding the GTK SciTE that runs this program: up the parent chain in /proc, the nearest process
// whose request FIFO in the temporary folder is ours and read. The twin of director/discovery.h,
// which finds SciTE's director window on Windows.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>

namespace director::gtk {

// $TMPDIR, or /tmp when it is unset or empty: where SciTE makes its FIFOs.
[[nodiscard]] std::filesystem::path tempFolder();

// Where the system's files are; tests put fakes there.
struct Places {
  std::filesystem::path proc = "/proc";
  std::filesystem::path temp = tempFolder();
};

// A found SciTE: its process and the FIFO it reads requests from.
struct SciteFifo {
  pid_t pid = 0;
  std::filesystem::path requestFifo;  // <temp>/SciTE.<pid>.in
};

// The nearest of `start` and its ancestors whose request FIFO is ours and has a reader (a
// crashed SciTE leaves one without). Nothing when the chain has none.
[[nodiscard]] std::optional<SciteFifo> findScite(pid_t start, const Places& places = {});

}  // namespace director::gtk
