// Owners of what the GTK transport takes from the system: a file descriptor, a private folder.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <system_error>
#include <utility>

namespace director::gtk {

class Fd {
public:
  Fd() = default;
  explicit Fd(int fd) noexcept : fd_(fd) {}
  Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Fd& operator=(Fd&& other) noexcept {
    if (this != &other) {
      reset();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() { reset(); }

  [[nodiscard]] int get() const noexcept { return fd_; }
  explicit operator bool() const noexcept { return fd_ >= 0; }

private:
  void reset() noexcept {
    if (fd_ >= 0) {
      ::close(fd_);
    }
    fd_ = -1;
  }

  int fd_ = -1;
};

// A folder removed with everything in it.
class FolderOwner {
public:
  explicit FolderOwner(std::filesystem::path path) noexcept : path_(std::move(path)) {}
  FolderOwner(const FolderOwner&) = delete;
  FolderOwner& operator=(const FolderOwner&) = delete;
  ~FolderOwner() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }

  [[nodiscard]] const std::filesystem::path& path() const noexcept { return path_; }

private:
  std::filesystem::path path_;
};

}  // namespace director::gtk
