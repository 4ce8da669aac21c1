// FIFOs and pipes through poll, read and write, never blocking past a deadline.
#include "platform/posix/fifo.h"

#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <system_error>
#include <thread>
#include <utility>

#include "platform/errors.h"
#include "platform/owner.h"

namespace platform {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kDefaultPipeMaxSize = 1 << 20;
constexpr int kDefaultPipeSize = 1 << 16;

[[nodiscard]] OSError osError(const std::string& what, const fs::path& path) {
  return {what + " " + path.string(), errno};
}

// As large as the system lets this user make it; the default size when it lets nothing more.
void enlargePipe(int fd, int maxSize) noexcept {
  for (int size = maxSize; size > kDefaultPipeSize; size /= 2) {
    if (::fcntl(fd, F_SETPIPE_SZ, size) >= 0) {
      return;
    }
  }
}

// The events of `fd` among `events` (and errors); 0 once the deadline has passed.
[[nodiscard]] short waitFor(int fd, short events, Deadline deadline) {
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) {
      return 0;
    }
    pollfd entry{fd, events, 0};
    const int ready =
        ::poll(&entry, 1, static_cast<int>(std::min<long long>(left.count(), INT_MAX)));
    if (ready > 0) {
      return entry.revents;
    }
    if (ready < 0 && errno != EINTR) {
      throw OSError("poll", errno);
    }
  }
}

}  // namespace

// Read with the C library: the first C++ stream a program makes sets up the locale, a long start.
int pipeMaxSize(const fs::path& proc) {
  const Unique<std::FILE*, std::fclose> file(
      std::fopen((proc / "sys/fs/pipe-max-size").c_str(), "rb"));
  std::array<char, 32> text{};
  const std::size_t got = file ? std::fread(text.data(), 1, text.size(), file.get()) : 0;
  int size = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + got, size);
  return error == std::errc() && size > 0 ? size : kDefaultPipeMaxSize;
}

fs::path makePrivateFolder(const fs::path& parent, std::string_view prefix) {
  std::string pattern = (parent / (std::string(prefix) + ".XXXXXX")).native();
  if (::mkdtemp(pattern.data()) == nullptr) {  // mode 0700
    throw osError("mkdtemp", pattern);
  }
  return pattern;
}

void createPrivateFile(const fs::path& path) {
  if (!Fd{::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600)}) {
    throw osError("create", path);
  }
}

void makeFifo(const fs::path& path) {
  if (::mkfifo(path.c_str(), 0600) != 0) {
    throw osError("mkfifo", path);
  }
}

FifoReader::FifoReader(const fs::path& fifo, int maxSize)
    : reader_(::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)) {
  if (!reader_) {
    throw osError("open", fifo);
  }
  enlargePipe(reader_.get(), maxSize);
  capacity_ = ::fcntl(reader_.get(), F_GETPIPE_SZ);
}

std::string FifoReader::readToEnd(Deadline deadline) {
  // A page on the stack: a fresh 64 KiB buffer cost a page fault per 4 KiB at each start, more
  // than the reads a long reply takes in pages.
  std::array<char, PIPE_BUF> chunk{};
  std::string raw;
  ended_ = false;
  for (;;) {
    if (waitFor(reader_.get(), POLLIN, deadline) == 0) {
      return raw;
    }
    for (;;) {
      const ssize_t got = ::read(reader_.get(), chunk.data(), chunk.size());
      if (got > 0) {
        raw.append(chunk.data(), static_cast<std::size_t>(got));
      } else if (got == 0) {
        ended_ = true;
        return raw;
      } else if (errno == EAGAIN) {
        break;
      } else if (errno != EINTR) {
        throw OSError("read a director reply", errno);
      }
    }
  }
}

OwnedFifo::OwnedFifo(fs::path path, int maxSize)
    : path_((makeFifo(path), std::move(path))), reader_(path_, maxSize) {}

OwnedFifo::~OwnedFifo() {
  std::error_code ignored;
  fs::remove(path_, ignored);
}

bool writeWhole(const fs::path& fifo, std::string_view bytes, Deadline deadline) {
  const Fd writer{::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC)};
  if (!writer) {
    if (errno == ENXIO || errno == ENOENT) {
      return false;  // nobody reads it
    }
    throw osError("open", fifo);
  }
  const int capacity = ::fcntl(writer.get(), F_GETPIPE_SZ);
  if (capacity < 0) {
    throw osError("F_GETPIPE_SZ", fifo);
  }
  if (bytes.size() > static_cast<std::size_t>(capacity)) {
    return false;  // it would never go in whole
  }
  const bool waitsForEmpty = bytes.size() > PIPE_BUF;
  std::size_t done = 0;
  while (done < bytes.size()) {
    if (Clock::now() >= deadline) {
      return false;
    }
    int queued = 0;
    if (done == 0 && waitsForEmpty && ::ioctl(writer.get(), FIONREAD, &queued) == 0 && queued > 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      continue;
    }
    const ssize_t wrote = ::write(writer.get(), bytes.data() + done, bytes.size() - done);
    if (wrote > 0) {
      done += static_cast<std::size_t>(wrote);
    } else if (errno == EPIPE) {
      return false;  // the reader went away
    } else if (errno == EAGAIN) {
      if (waitFor(writer.get(), POLLOUT, deadline) == 0) {
        return false;
      }
    } else if (errno != EINTR) {
      throw osError("write", fifo);
    }
  }
  return true;
}

}  // namespace platform
