// Owners for what the system hands out: one template for anything closed through a bound slot,
// and a scope guard for a pair of calls that is not a handle.
#pragma once

#include <memory>
#include <type_traits>
#include <utility>

namespace platform {

// Calls the closing function at the time of closing, so a fake put into a slot sees the call.
template <auto& Close>
struct CloseThrough {
  template <typename Handle>
  void operator()(Handle handle) const noexcept {
    (void)Close(handle);
  }
};

// A system handle (a pointer type; null means none) closed through `Close` when its owner goes:
// `Unique<HANDLE, kernel32::CloseHandle>`.
template <typename Handle, auto& Close>
using Unique = std::unique_ptr<std::remove_pointer_t<Handle>, CloseThrough<Close>>;

// Runs a clean-up when the scope ends, however it ends.
template <typename CleanUp>
class [[nodiscard]] ScopeExit {
public:
  explicit ScopeExit(CleanUp cleanUp) noexcept : cleanUp_(std::move(cleanUp)) {}
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;
  ~ScopeExit() { cleanUp_(); }

private:
  CleanUp cleanUp_;
};

}  // namespace platform
