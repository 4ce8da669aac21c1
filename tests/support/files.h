// Whole files read and written byte for byte, for the tests and the test programs they start.
#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <ios>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <utility>

namespace test_support {

// The file's bytes, or nothing when it cannot be opened.
[[nodiscard]] inline std::optional<std::string> tryReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return std::nullopt;
  }
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return std::move(bytes).str();
}

// The file's bytes once another process has written it (a started program is not waited for);
// nothing after about five seconds.
[[nodiscard]] inline std::optional<std::string> awaitFile(const std::filesystem::path& path) {
  for (int look = 0; look < 500; ++look) {
    if (auto bytes = tryReadFile(path)) {
      return bytes;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return std::nullopt;
}

// The file's bytes; empty when it cannot be opened.
[[nodiscard]] inline std::string readFile(const std::filesystem::path& path) {
  return tryReadFile(path).value_or(std::string());
}

// Replaces what the file holds, creating it when it is missing.
inline void writeFile(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace test_support
