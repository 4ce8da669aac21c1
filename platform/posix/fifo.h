// FIFOs of a program's own and the system's pipes under a deadline: made, enlarged, read to their
// end, written whole.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/posix/owners.h"

namespace platform {

using Deadline = std::chrono::steady_clock::time_point;

// The largest pipe this user may make, from <proc>/sys/fs/pipe-max-size; the system's usual
// limit when that cannot be read.
[[nodiscard]] int pipeMaxSize(const std::filesystem::path& proc);

// A folder of a unique name in `parent` that only this user may enter (mode 0700). Raises
// platform::OSError when it cannot be made.
[[nodiscard]] std::filesystem::path makePrivateFolder(const std::filesystem::path& parent,
                                                      std::string_view prefix);

// An empty regular file that only this user may read (mode 0600), made anew. Raises
// platform::OSError when it exists or cannot be made.
void createPrivateFile(const std::filesystem::path& path);

// A FIFO that only this user may open (mode 0600). Raises platform::OSError when it cannot be
// made.
void makeFifo(const std::filesystem::path& path);

// A FIFO opened for reading before anyone writes to it, so that a writer's open finds a reader
// and the pipe is ours to enlarge, as far as `maxSize` lets it.
class FifoReader {
public:
  FifoReader(const std::filesystem::path& fifo, int maxSize);

  // What was written, read until every writer has closed the FIFO or the deadline has passed.
  // A reader opened without blocking hears of no end before a writer has come and gone.
  [[nodiscard]] std::string readToEnd(Deadline deadline);

  // The writers closed the FIFO at the last read: nothing more can come.
  [[nodiscard]] bool ended() const noexcept { return ended_; }

  // The pipe's size in bytes once enlarged; 0 when the system does not say.
  [[nodiscard]] int capacity() const noexcept { return capacity_; }

private:
  Fd reader_;
  int capacity_ = 0;
  bool ended_ = false;
};

// A FIFO of its own made at `path`, and its reader, removed with it. The path goes before the
// reader: a writer that comes late then fails to open it instead of waiting for a reader forever.
class OwnedFifo {
public:
  OwnedFifo(std::filesystem::path path, int maxSize);
  OwnedFifo(const OwnedFifo&) = delete;
  OwnedFifo& operator=(const OwnedFifo&) = delete;
  ~OwnedFifo();

  [[nodiscard]] const std::filesystem::path& path() const noexcept { return path_; }
  [[nodiscard]] FifoReader& reader() noexcept { return reader_; }

private:
  std::filesystem::path path_;
  FifoReader reader_;
};

// Writes `bytes` whole to the FIFO at `fifo` before the deadline: up to PIPE_BUF bytes go in
// whole or not at all, and a longer write only into an empty pipe, so that no other writer's
// bytes come between. False when nobody reads the FIFO (or it is gone), when the bytes would
// never fit its pipe, or when the deadline comes first. Other failures raise platform::OSError.
// The program ignores SIGPIPE, so that a reader gone mid-write is a failed write.
[[nodiscard]] bool writeWhole(const std::filesystem::path& fifo, std::string_view bytes,
                              Deadline deadline);

}  // namespace platform
