// A temporary file beside the target, renamed into place.
#include "platform/posix/replace_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/posix/owners.h"

namespace platform {

namespace {

[[nodiscard]] std::string failure(std::string_view what, const std::string& path) {
  return std::string(what) + " " + path + ": " + std::strerror(errno);
}

[[nodiscard]] bool writeAll(int fd, std::string_view text) noexcept {
  while (!text.empty()) {
    const ssize_t written = ::write(fd, text.data(), text.size());
    if (written < 0 && errno == EINTR) {
      continue;
    }
    if (written <= 0) {
      return false;
    }
    text.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

std::optional<std::string> replaceFile(const std::string& path, std::string_view text) {
  // mkstemp's name is unique among every process that writes beside the same file.
  std::string pattern = path + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  Fd fd(::mkstemp(name.data()));
  if (!fd) {
    return failure("cannot create a file beside", path);
  }
  const std::string temporary(name.data());
  const bool written = writeAll(fd.get(), text) && ::fsync(fd.get()) == 0;
  const int closed = ::close(fd.release());
  if (!written || closed != 0 || std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::string why = failure("cannot write", path);
    ::unlink(temporary.c_str());
    return why;
  }
  return std::nullopt;
}

}  // namespace platform
