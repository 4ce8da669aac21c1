// The directory of the running test program: the build puts the programs it starts beside it.
// Windows build only; a test calls the system directly.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

namespace test_support {

[[nodiscard]] inline std::filesystem::path exeDirectory() {
  std::wstring buffer(32768, L'\0');  // the longest path the system hands out
  const DWORD length =
      GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  buffer.resize(length);
  return std::filesystem::path(buffer).parent_path();
}

}  // namespace test_support
