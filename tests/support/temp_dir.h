// A fresh folder under the system's temporary folder, removed with everything in it.
#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

#include "tests/support/files.h"

namespace test_support {

class TempDir {
public:
  // The random suffix keeps runs apart, an aborted one's left-overs included.
  explicit TempDir(const std::filesystem::path& name) {
    path_ = std::filesystem::temp_directory_path() / name;
    path_ += '-';
    path_ += std::to_string(std::random_device{}());
    std::filesystem::remove_all(path_);
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
    writeFile(path_ / name, bytes);
  }

private:
  std::filesystem::path path_;
};

}  // namespace test_support
