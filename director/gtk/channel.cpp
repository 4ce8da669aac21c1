// The request and reply FIFOs of the channel to the GTK SciTE.
#include "director/gtk/channel.h"

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
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <system_error>
#include <thread>
#include <utility>

#include "director/escapes.h"
#include "platform/errors.h"
#include "platform/owner.h"

namespace director::gtk {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kDefaultPipeMaxSize = 1 << 20;
constexpr int kDefaultPipeSize = 1 << 16;
constexpr std::string_view kAskProperty = "askproperty:";

// An empty whole answer to askproperty:, which a SciTE without a notify pipe gives to every one.
[[nodiscard]] bool answeredNothing(const Reply& reply, std::string_view command) {
  return reply.raw.empty() && !reply.cut && command.starts_with(kAskProperty);
}

[[nodiscard]] platform::OSError osError(const std::string& what, const fs::path& path) {
  return {what + " " + path.string(), errno};
}

// `:<address>:<command>\n`, or `<command>\n` without an address.
[[nodiscard]] std::string requestLine(std::string_view address, std::string_view command) {
  std::string line;
  if (!address.empty()) {
    line.append(":").append(address).append(":");
  }
  line += requestEscaped(command);
  line += '\n';
  if (line.size() > kMaxRequestBytes) {
    throw platform::RangeError("a director request of " + std::to_string(line.size()) +
                               " bytes is longer than the " + std::to_string(kMaxRequestBytes) +
                               " SciTE takes whole");
  }
  return line;
}

// Its path goes into request lines raw: absolute, since SciTE runs elsewhere, and a field that
// SciTE reads as we do.
[[nodiscard]] fs::path makePrivateFolder(const fs::path& temp) {
  const bool fits = temp.is_absolute() && isRawRequestField(temp.native());
  const fs::path parent = fits ? temp : fs::path("/tmp");
  std::string pattern = (parent / "scite-director.XXXXXX").native();
  if (::mkdtemp(pattern.data()) == nullptr) {  // mode 0700
    throw osError("mkdtemp", pattern);
  }
  return pattern;
}

// Read with the C library: the first C++ stream a program makes sets up the locale, a long start.
[[nodiscard]] int readPipeMaxSize(const fs::path& proc) {
  const platform::Unique<std::FILE*, std::fclose> file(
      std::fopen((proc / "sys/fs/pipe-max-size").c_str(), "rb"));
  std::array<char, 32> text{};
  const std::size_t got = file ? std::fread(text.data(), 1, text.size(), file.get()) : 0;
  int size = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + got, size);
  return error == std::errc() && size > 0 ? size : kDefaultPipeMaxSize;
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
[[nodiscard]] short waitFor(int fd, short events, Clock::time_point deadline) {
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
      throw platform::OSError("poll", errno);
    }
  }
}

// Reads until every writer has closed the FIFO; false when the deadline came first. A reader
// opened without blocking hears of no end before a writer has come and gone.
[[nodiscard]] bool readToEnd(int fd, std::string& raw, Clock::time_point deadline) {
  // A page on the stack: a fresh 64 KiB buffer cost a page fault per 4 KiB at each start, more
  // than the reads a long reply takes in pages.
  std::array<char, PIPE_BUF> chunk{};
  for (;;) {
    if (waitFor(fd, POLLIN, deadline) == 0) {
      return false;
    }
    for (;;) {
      const ssize_t got = ::read(fd, chunk.data(), chunk.size());
      if (got > 0) {
        raw.append(chunk.data(), static_cast<std::size_t>(got));
      } else if (got == 0) {
        return true;
      } else if (errno == EAGAIN) {
        break;
      } else if (errno != EINTR) {
        throw platform::OSError("read a director reply", errno);
      }
    }
  }
}

void makeFifo(const fs::path& path) {
  if (::mkfifo(path.c_str(), 0600) != 0) {
    throw osError("mkfifo", path);
  }
}

// A reply FIFO opened for reading before its request goes out: SciTE's open for writing then
// finds a reader, and the pipe is ours to enlarge.
class ReplyReader {
public:
  ReplyReader(const fs::path& fifo, int pipeMaxSize)
      : reader_(::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)) {
    if (!reader_) {
      throw osError("open", fifo);
    }
    enlargePipe(reader_.get(), pipeMaxSize);
    capacity_ = ::fcntl(reader_.get(), F_GETPIPE_SZ);
  }

  // What SciTE wrote, read until it closed the FIFO or the deadline passed.
  [[nodiscard]] Reply read(Clock::time_point deadline) {
    std::string raw;
    ended_ = readToEnd(reader_.get(), raw, deadline);
    // SciTE writes the line break apart from the reply, dropping what the pipe could not take of
    // the reply: once we have read some, the break gets in after a cut reply too.
    const bool filled = capacity_ > 0 && raw.size() > static_cast<std::size_t>(capacity_);
    const bool cut = !ended_ || filled || (!raw.empty() && raw.back() != '\n');
    return {std::move(raw), cut};
  }

  // SciTE closed the FIFO: no answer can come late.
  [[nodiscard]] bool ended() const noexcept { return ended_; }

private:
  platform::Fd reader_;
  int capacity_ = 0;
  bool ended_ = false;
};

// A reply FIFO of its own for one question of several sent at once, removed with it. Its path
// goes before its reader: a SciTE that comes to the question late then fails to open it instead
// of waiting for a reader forever.
class BatchFifo {
public:
  BatchFifo(fs::path path, int pipeMaxSize)
      : path_((makeFifo(path), std::move(path))), reader_(path_, pipeMaxSize) {}
  BatchFifo(const BatchFifo&) = delete;
  BatchFifo& operator=(const BatchFifo&) = delete;
  ~BatchFifo() {
    std::error_code ignored;
    fs::remove(path_, ignored);
  }

  [[nodiscard]] const fs::path& path() const noexcept { return path_; }
  [[nodiscard]] Reply read(Clock::time_point deadline) { return reader_.read(deadline); }

private:
  fs::path path_;
  ReplyReader reader_;
};

}  // namespace

// Each line made with its reply FIFO, before anything is written: SciTE finds every FIFO there.
class Channel::Batch {
public:
  Batch(Channel& channel, std::span<const Request> requests) {
    for (const Request& request : requests) {
      std::string address;
      if (request.expectReply) {
        address =
            fifos_.emplace_back(channel.nextReplyPath(), channel.pipeMaxSize_).path().native();
      }
      lines_ += requestLine(address, request.command);
    }
  }

  // Why one write holds no more than one request line may: kMaxRequestBytes.
  [[nodiscard]] bool fitsOneWrite() const noexcept { return lines_.size() <= kMaxRequestBytes; }
  [[nodiscard]] const std::string& lines() const noexcept { return lines_; }

  // The answering requests' replies, in their order.
  [[nodiscard]] std::vector<Reply> readReplies(Deadline deadline) {
    std::vector<Reply> replies;
    replies.reserve(fifos_.size());
    for (BatchFifo& fifo : fifos_) {
      replies.push_back(fifo.read(deadline));
    }
    return replies;
  }

private:
  std::deque<BatchFifo> fifos_;  // never moved: each removes its FIFO
  std::string lines_;
};

Channel::Channel(SciteFifo scite, std::chrono::milliseconds limit, const Places& places)
    : scite_(std::move(scite)),
      limit_(limit),
      folder_(makePrivateFolder(places.temp)),
      pipeMaxSize_(readPipeMaxSize(places.proc)) {}

bool Channel::send(std::string_view command) {
  const std::string line = requestLine({}, command);
  return write(line, Clock::now() + limit_);
}

std::optional<Reply> Channel::ask(std::string_view command) {
  const Deadline deadline = Clock::now() + limit_;
  auto reply = askOnce(command, deadline);
  if (reply && answeredNothing(*reply, command) && sciteMayBeSilent()) {
    registered_ = true;
    if (registerOnce(deadline)) {
      reply = askOnce(command, deadline);
    }
  }
  return reply;
}

std::optional<Reply> Channel::askOnce(std::string_view command, Deadline deadline) {
  if (replyFifo_.empty()) {  // made at the first question: a run may ask all in batches
    replyFifo_ = nextReplyPath();
    makeFifo(replyFifo_);
  }
  const std::string line = requestLine(replyFifo_.native(), command);
  ReplyReader reader(replyFifo_, pipeMaxSize_);
  std::optional<Reply> reply;
  bool ended = false;
  if (write(line, deadline)) {
    reply = reader.read(deadline);
    ended = reader.ended();
  }
  if (!ended) {
    // SciTE may still answer this request; its answer must not be read as the next one's.
    dropReplyFifo();
  }
  return reply;
}

std::optional<std::vector<Reply>> Channel::sendAll(std::span<const Request> requests) {
  const Deadline deadline = Clock::now() + limit_;
  std::optional<Batch> batch(std::in_place, *this, requests);
  if (!batch->fitsOneWrite()) {
    batch.reset();  // its FIFOs removed: SciTE will not open them
    return sendOneByOne(requests);
  }
  auto replies = sendAtOnce(*batch, deadline);
  if (replies) {
    askSilentOnesAgain(requests, *replies);
  }
  return replies;
}

std::optional<std::vector<Reply>> Channel::sendAtOnce(Batch& batch, Deadline deadline) {
  if (!write(batch.lines(), deadline)) {
    return std::nullopt;
  }
  return batch.readReplies(deadline);
}

// Each empty answer may be SciTE's silence before a notify pipe: asked again as ask asks it.
void Channel::askSilentOnesAgain(std::span<const Request> requests, std::vector<Reply>& replies) {
  std::optional<bool> mayBeSilent;  // looked up at the first empty answer: most have none
  auto reply = replies.begin();
  for (const Request& request : requests) {
    if (!request.expectReply) {
      continue;
    }
    if (answeredNothing(*reply, request.command)) {
      if (!mayBeSilent) {
        mayBeSilent = sciteMayBeSilent();
      }
      auto again = *mayBeSilent ? ask(request.command) : std::nullopt;
      if (again) {
        *reply = std::move(*again);
      }
    }
    ++reply;
  }
}

std::optional<std::vector<Reply>> Channel::sendOneByOne(std::span<const Request> requests) {
  std::vector<Reply> replies;
  for (const Request& request : requests) {
    if (!request.expectReply) {
      if (!send(request.command)) {
        return std::nullopt;
      }
    } else if (auto reply = ask(request.command)) {
      replies.push_back(std::move(*reply));
    } else {
      return std::nullopt;
    }
  }
  return replies;
}

bool Channel::write(const std::string& line, Deadline deadline) {
  const platform::Fd fifo{::open(scite_.requestFifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC)};
  if (!fifo) {
    if (errno == ENXIO || errno == ENOENT) {
      return false;  // SciTE is gone
    }
    throw osError("open", scite_.requestFifo);
  }
  const int capacity = ::fcntl(fifo.get(), F_GETPIPE_SZ);
  if (capacity < 0) {
    throw osError("F_GETPIPE_SZ", scite_.requestFifo);
  }
  if (line.size() > static_cast<std::size_t>(capacity)) {
    return false;  // it would never go in whole
  }
  // Up to PIPE_BUF bytes go in whole or not at all; a longer line only when the pipe is empty.
  const bool waitsForEmpty = line.size() > PIPE_BUF;
  std::size_t done = 0;
  while (done < line.size()) {
    if (Clock::now() >= deadline) {
      return false;
    }
    int queued = 0;
    if (done == 0 && waitsForEmpty && ::ioctl(fifo.get(), FIONREAD, &queued) == 0 && queued > 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      continue;
    }
    const ssize_t wrote = ::write(fifo.get(), line.data() + done, line.size() - done);
    if (wrote > 0) {
      done += static_cast<std::size_t>(wrote);
    } else if (errno == EPIPE) {
      return false;  // SciTE went away
    } else if (errno == EAGAIN) {
      if (waitFor(fifo.get(), POLLOUT, deadline) == 0) {
        return false;
      }
    } else if (errno != EINTR) {
      throw osError("write", scite_.requestFifo);
    }
  }
  return true;
}

bool Channel::registerOnce(Deadline deadline) {
  // A regular file: SciTE opens it blocking to write its notify pipe's name.
  const fs::path file = folder_.path() / "register";
  if (!platform::Fd{::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600)}) {
    throw osError("create", file);
  }
  return write(requestLine(file.native(), "register:"), deadline);
}

// Till registered, a SciTE without a notify pipe answers every question with nothing.
bool Channel::sciteMayBeSilent() const {
  return !registered_ && !sciteHasNotifyPipe();
}

bool Channel::sciteHasNotifyPipe() const {
  // SciTE.<pid>.<k>.out beside the request FIFO, one per registration.
  const std::string prefix = "SciTE." + std::to_string(scite_.pid) + ".";
  const std::string_view suffix = ".out";
  std::error_code error;
  for (auto it = fs::directory_iterator(scite_.requestFifo.parent_path(), error);
       !error && it != fs::directory_iterator(); it.increment(error)) {
    const std::string name = it->path().filename().native();
    if (name.size() > prefix.size() + suffix.size() && name.starts_with(prefix) &&
        name.ends_with(suffix) &&
        std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()),
                    name.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                    [](char c) { return c >= '0' && c <= '9'; })) {
      return true;
    }
  }
  return false;
}

void Channel::dropReplyFifo() {
  std::error_code ignored;
  fs::remove(replyFifo_, ignored);
  replyFifo_.clear();
}

fs::path Channel::nextReplyPath() {
  return folder_.path() / ("reply." + std::to_string(++replyFifos_));
}

void ignoreBrokenPipes() noexcept {
  static_cast<void>(std::signal(SIGPIPE, SIG_IGN));
}

}  // namespace director::gtk
