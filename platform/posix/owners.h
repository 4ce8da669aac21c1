// Owners of what a POSIX program takes from the system: a file descriptor, a private folder.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <system_error>
#include <utility>

#include "platform/owner.h"

namespace platform {

using Fd = UniqueValue<int, ::close, -1>;

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

}  // namespace platform
