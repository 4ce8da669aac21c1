// The director client's transport to the GTK SciTE found by discovery.h: requests written to its
// request FIFO, replies read from a FIFO of our own.
#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "director/gtk/discovery.h"
#include "platform/posix/owners.h"

namespace director::gtk {

// The longest request line sent, its line break included. SciTE reads requests from a 64 KiB
// pipe and runs whatever one read gave it, an unfinished line too; so a line longer than the
// system writes at once (PIPE_BUF) goes in with one write, into an empty pipe. 15 of the pipe's
// 16 pages leave one for a short request another client may slip in before that write.
inline constexpr std::size_t kMaxRequestBytes = std::size_t{60} * 1024;

struct Reply {
  // What SciTE wrote, as it wrote it: its line break at the end, when it arrived, included.
  // Empty when SciTE answered nothing.
  std::string raw;
  bool cut = false;  // the time limit passed, or the reply ended without its line break
};

// One command of several sent at once, and whether it answers (askproperty:<key>).
struct Request {
  std::string_view command;
  bool expectReply = false;
};

// Requests to one SciTE. Owns a private folder (mode 0700, in `places.temp`, or /tmp when that
// path is relative or holds a ':', a control byte or bytes that are not UTF-8: it goes into the
// request lines) with the reply FIFO; both are removed with the channel. The program ignores
// SIGPIPE from its start (ignoreBrokenPipes). System failures other than SciTE's absence raise
// platform::OSError.
class Channel {
public:
  Channel(SciteFifo scite, std::chrono::milliseconds limit, const Places& places = {});

  // Sends a command that gets no reply; false when SciTE did not take it within the time limit.
  // The command goes out requestEscaped. Raises platform::RangeError, sending nothing, when the
  // request line would be longer than kMaxRequestBytes.
  bool send(std::string_view command);

  // Sends a command that answers (askproperty:<key>) and reads the reply, all within the time
  // limit; nothing when SciTE did not take the request. A SciTE without a notify pipe answers
  // with nothing: then one register: request gets it one, once per SciTE (not when it has one
  // already), and the command is asked again. Raises as send does.
  std::optional<Reply> ask(std::string_view command);

  // Sends the requests in one write, each answering one with a reply FIFO of its own, and reads
  // the replies in order, all within the time limit: SciTE runs every line of one read in turn.
  // The replies of the answering requests, in their order; nothing when SciTE did not take the
  // write. An empty askproperty: reply from a SciTE without a notify pipe is asked again as ask
  // asks it. Requests longer together than kMaxRequestBytes go one by one. Raises as send does.
  std::optional<std::vector<Reply>> sendAll(std::span<const Request> requests);

private:
  using Deadline = std::chrono::steady_clock::time_point;
  class Batch;  // requests written at once, each answering one with a reply FIFO of its own

  [[nodiscard]] std::optional<std::vector<Reply>> sendAtOnce(Batch& batch, Deadline deadline);
  void askSilentOnesAgain(std::span<const Request> requests, std::vector<Reply>& replies);
  [[nodiscard]] std::optional<std::vector<Reply>> sendOneByOne(std::span<const Request> requests);
  [[nodiscard]] std::filesystem::path nextReplyPath();

  std::optional<Reply> askOnce(std::string_view command, Deadline deadline);
  bool write(const std::string& line, Deadline deadline);
  bool registerOnce(Deadline deadline);
  [[nodiscard]] bool sciteMayBeSilent() const;
  [[nodiscard]] bool sciteHasNotifyPipe() const;
  void dropReplyFifo();

  SciteFifo scite_;
  std::chrono::milliseconds limit_;
  platform::FolderOwner folder_;
  std::filesystem::path replyFifo_;  // the questions' asked one at a time; empty till the first
  int replyFifos_ = 0;
  int pipeMaxSize_ = 0;
  bool registered_ = false;
};

// SciTE may go away while a channel writes to it: that is a failed send, not the end of the
// program. Each program that makes a channel calls this once at its start.
void ignoreBrokenPipes() noexcept;

}  // namespace director::gtk
