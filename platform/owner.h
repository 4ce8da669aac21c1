// Owners for what the system hands out: one template for a pointer closed through a bound slot,
// one for a handle held by value (a file descriptor), and a scope guard for a pair of calls that
// is not a handle.
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

// A system handle held by value, `Invalid` meaning none, closed through `Close` when its owner
// goes: `UniqueValue<int, ::close, -1>` for a file descriptor, whose none is not a null pointer.
template <typename Handle, auto& Close, Handle Invalid>
class UniqueValue {
public:
  UniqueValue() noexcept = default;
  explicit UniqueValue(Handle handle) noexcept : handle_(handle) {}
  UniqueValue(UniqueValue&& other) noexcept : handle_(other.release()) {}
  UniqueValue& operator=(UniqueValue&& other) noexcept {
    if (this != &other) {
      reset(other.release());
    }
    return *this;
  }
  UniqueValue(const UniqueValue&) = delete;
  UniqueValue& operator=(const UniqueValue&) = delete;
  ~UniqueValue() { reset(); }

  [[nodiscard]] Handle get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != Invalid; }

  // Gives the handle up without closing it.
  [[nodiscard]] Handle release() noexcept { return std::exchange(handle_, Invalid); }

  // Closes the handle held, if any, and holds `handle` instead.
  void reset(Handle handle = Invalid) noexcept {
    if (const Handle old = std::exchange(handle_, handle); old != Invalid) {
      CloseThrough<Close>{}(old);
    }
  }

private:
  Handle handle_ = Invalid;
};

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
