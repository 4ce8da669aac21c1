// /proc/self/exe read whole.
#include "platform/posix/executable.h"

#include <unistd.h>

#include <cstddef>

namespace platform {

namespace {

constexpr std::size_t kFirstTry = 256;
constexpr std::size_t kLargestTry = std::size_t{1} << 20;

}  // namespace

std::string ownExecutablePath() {
  // readlink gives no length up front and cuts silently: a result that fills the buffer may have
  // been cut, so the buffer grows until one is left over.
  for (std::size_t size = kFirstTry; size <= kLargestTry; size *= 2) {
    std::string buffer(size, '\0');
    const ::ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) {
      return {};
    }
    if (static_cast<std::size_t>(length) < buffer.size()) {
      buffer.resize(static_cast<std::size_t>(length));
      return buffer;
    }
  }
  return {};
}

std::string ownFolder() {
  std::string path = ownExecutablePath();
  path.resize(path.rfind('/') + 1);  // the link always holds an absolute path; empty stays empty
  return path;
}

}  // namespace platform
