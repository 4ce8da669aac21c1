// Owners for the system objects the launcher receives: kernel handles and buffers that the
// system allocated for us. Each is released through its bound slot.
#pragma once

#include <memory>
#include <type_traits>

#include "launcher/syscalls.h"

namespace launcher {

struct HandleCloser {
  void operator()(HANDLE handle) const noexcept {
    if (handle != nullptr) {
      kernel32::CloseHandle(handle);
    }
  }
};

// A kernel handle closed when its owner goes.
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

struct LocalFreer {
  void operator()(void* memory) const noexcept {
    if (memory != nullptr) {
      kernel32::LocalFree(memory);
    }
  }
};

// A buffer that a system call allocated with the local heap, freed when its owner goes.
template <typename T>
using LocalBuffer = std::unique_ptr<T, LocalFreer>;

}  // namespace launcher
