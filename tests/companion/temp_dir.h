// A fresh directory under the system's temporary folder, removed with everything in it.
#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

#include "tests/support/files.h"

namespace companion_test {

class TempDir {
public:
  explicit TempDir(const std::filesystem::path& name = "companion") {
    const auto suffix = std::to_string(std::random_device{}());
    path_ = std::filesystem::temp_directory_path() / name;
    path_ += "-" + suffix;
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  [[nodiscard]] const std::filesystem::path& path() const noexcept { return path_; }

  void write(const std::filesystem::path& name, std::string_view bytes) const {
    test_support::writeFile(path_ / name, bytes);
  }

private:
  std::filesystem::path path_;
};

}  // namespace companion_test
