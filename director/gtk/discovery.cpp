// The parent chain read from /proc/<pid>/stat, and the request FIFOs looked for along it.
#include "director/gtk/discovery.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>

#include "platform/owner.h"
#include "platform/posix/owners.h"

namespace director::gtk {

namespace {

namespace fs = std::filesystem;

constexpr int kLongestChain = 4096;  // a loop in a broken /proc ends here

// The next field of a line of blank-separated fields, taken off its front; empty at the end. No
// stream parses it: the first stream a program makes sets up the C++ locale, a long start.
[[nodiscard]] std::string_view nextField(std::string_view& fields) {
  constexpr std::string_view kBlanks = " \t\n";
  const std::size_t start = std::min(fields.find_first_not_of(kBlanks), fields.size());
  const std::size_t end = std::min(fields.find_first_of(kBlanks, start), fields.size());
  const std::string_view field = fields.substr(start, end - start);
  fields.remove_prefix(end);
  return field;
}

[[nodiscard]] std::optional<pid_t> parentOf(const fs::path& proc, pid_t pid) {
  // One line, far below this; read with the C library, which GCC's -O3 does not misjudge.
  const platform::Unique<std::FILE*, std::fclose> file(
      std::fopen((proc / std::to_string(pid) / "stat").c_str(), "rb"));
  if (!file) {
    return std::nullopt;
  }
  std::string stat(4096, '\0');
  stat.resize(std::fread(stat.data(), 1, stat.size(), file.get()));
  // The command name in parentheses may hold blanks and parentheses itself; the state and the
  // parent's pid follow it.
  const std::size_t nameEnd = stat.rfind(')');
  if (nameEnd == std::string::npos) {
    return std::nullopt;
  }
  std::string_view fields = std::string_view(stat).substr(nameEnd + 1);
  if (nextField(fields).empty()) {
    return std::nullopt;
  }
  const std::string_view parentField = nextField(fields);
  pid_t parent = 0;
  const auto [end, error] =
      std::from_chars(parentField.data(), parentField.data() + parentField.size(), parent);
  if (error != std::errc() || end != parentField.data() + parentField.size()) {
    return std::nullopt;
  }
  return parent;
}

// Ours, a FIFO, and read by someone: a crashed SciTE's FIFO opens with ENXIO.
[[nodiscard]] bool isLiveRequestFifo(const fs::path& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0 || !S_ISFIFO(status.st_mode) ||
      status.st_uid != ::geteuid()) {
    return false;
  }
  const platform::Fd fifo{::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC)};
  return static_cast<bool>(fifo);
}

}  // namespace

fs::path tempFolder() {
  const char* tmpdir = std::getenv("TMPDIR");  // NOLINT(concurrency-mt-unsafe): read only
  return tmpdir != nullptr && *tmpdir != '\0' ? fs::path(tmpdir) : fs::path("/tmp");
}

std::optional<SciteFifo> findScite(pid_t start, const Places& places) {
  pid_t pid = start;
  for (int step = 0; pid > 0 && step < kLongestChain; ++step) {
    fs::path fifo = places.temp / ("SciTE." + std::to_string(pid) + ".in");
    if (isLiveRequestFifo(fifo)) {
      return SciteFifo{pid, std::move(fifo)};
    }
    const auto parent = parentOf(places.proc, pid);
    if (!parent) {
      break;
    }
    pid = *parent;
  }
  return std::nullopt;
}

}  // namespace director::gtk
