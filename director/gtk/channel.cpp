// The director's requests to the GTK SciTE over its request FIFO and reply FIFOs of our own: the
// batching, and SciTE's silence before it has a notify pipe.
#include "director/gtk/channel.h"

#include <algorithm>
#include <csignal>
#include <deque>
#include <system_error>
#include <utility>

#include "director/escapes.h"
#include "platform/ascii.h"
#include "platform/errors.h"
#include "platform/posix/fifo.h"

namespace director::gtk {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr std::string_view kAskProperty = "askproperty:";

// An empty whole answer to askproperty:, which a SciTE without a notify pipe gives to every one.
[[nodiscard]] bool answeredNothing(const Reply& reply, std::string_view command) {
  return reply.raw.empty() && !reply.cut && command.starts_with(kAskProperty);
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
  return platform::makePrivateFolder(fits ? temp : fs::path("/tmp"), "scite-director");
}

// SciTE writes the line break apart from the reply, dropping what the pipe could not take of the
// reply: once we have read some, the break gets in after a cut reply too.
[[nodiscard]] Reply replyOf(platform::FifoReader& reader, Clock::time_point deadline) {
  std::string raw = reader.readToEnd(deadline);
  const int capacity = reader.capacity();
  const bool filled = capacity > 0 && raw.size() > static_cast<std::size_t>(capacity);
  const bool cut = !reader.ended() || filled || (!raw.empty() && raw.back() != '\n');
  return {std::move(raw), cut};
}

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
    for (platform::OwnedFifo& fifo : fifos_) {
      replies.push_back(replyOf(fifo.reader(), deadline));
    }
    return replies;
  }

private:
  std::deque<platform::OwnedFifo> fifos_;  // never moved: each removes its FIFO
  std::string lines_;
};

Channel::Channel(SciteFifo scite, std::chrono::milliseconds limit, const Places& places)
    : scite_(std::move(scite)),
      limit_(limit),
      folder_(makePrivateFolder(places.temp)),
      pipeMaxSize_(platform::pipeMaxSize(places.proc)) {}

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
    platform::makeFifo(replyFifo_);
  }
  const std::string line = requestLine(replyFifo_.native(), command);
  // Opened for reading before the request goes out: SciTE's open for writing then finds a reader.
  platform::FifoReader reader(replyFifo_, pipeMaxSize_);
  std::optional<Reply> reply;
  bool ended = false;
  if (write(line, deadline)) {
    reply = replyOf(reader, deadline);
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
  return platform::writeWhole(scite_.requestFifo, line, deadline);
}

bool Channel::registerOnce(Deadline deadline) {
  // A regular file: SciTE opens it blocking to write its notify pipe's name.
  const fs::path file = folder_.path() / "register";
  platform::createPrivateFile(file);
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
                    platform::isAsciiDigit)) {
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
