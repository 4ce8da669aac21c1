// Finding the program's own executable through /proc/self/exe.
#include "launcher/functions.h"

#include <unistd.h>

#include <cstddef>
#include <string>

namespace launcher {

namespace {

constexpr std::size_t kFirstTry = 256;
constexpr std::size_t kLargestTry = std::size_t{1} << 20;

}  // namespace

std::string getAppFilename() {
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

// The root keeps its '/', as POSIX has no drive to stand for it.
std::string CurrentDir() {
  std::string path = getAppFilename();
  const std::size_t separator = path.rfind('/');
  if (separator == std::string::npos) {
    return {};
  }
  path.resize(separator == 0 ? 1 : separator);
  return path;
}

}  // namespace launcher
