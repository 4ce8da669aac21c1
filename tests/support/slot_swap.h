// Puts a value in place for the life of a scope and gives the old one back: a fake in a binding
// slot, or a piece of module state for one check, so that a test or a replayed fuzz check leaves
// the process as it found it.
#pragma once

#include <functional>
#include <type_traits>
#include <utility>
#include <vector>

namespace test_support {

// Any assignable target: `Scoped keep(director::received, std::string("x"));`.
template <typename T>
class Scoped {
public:
  template <typename U>
  Scoped(T& target, U&& value) : target_(target), saved_(std::move(target)) {
    target_ = std::forward<U>(value);
  }
  Scoped(const Scoped&) = delete;
  Scoped& operator=(const Scoped&) = delete;
  ~Scoped() { target_ = std::move(saved_); }

private:
  T& target_;
  T saved_;
};

template <typename T, typename U>
Scoped(T&, U&&) -> Scoped<T>;

// One slot, named as a template argument so that a member needs no repeated type:
// `SlotSwap<kernel32::GetLastError> lastError_{&fakeGetLastError};`.
template <auto& Slot>
class SlotSwap : Scoped<std::remove_cvref_t<decltype(Slot)>> {
public:
  template <typename Fake>
  explicit SlotSwap(Fake fake) : Scoped<std::remove_cvref_t<decltype(Slot)>>(Slot, fake) {}
};

// Any number of slots, filled one call at a time; restored newest first.
class SlotSwaps {
public:
  SlotSwaps() = default;
  SlotSwaps(const SlotSwaps&) = delete;
  SlotSwaps& operator=(const SlotSwaps&) = delete;
  ~SlotSwaps() {
    for (auto it = undo_.rbegin(); it != undo_.rend(); ++it) {
      (*it)();
    }
  }

  template <typename Fn>
  void swap(Fn& slot, std::type_identity_t<Fn> fake) {
    Fn saved = std::exchange(slot, fake);
    undo_.emplace_back([&slot, saved] { slot = saved; });
  }

private:
  std::vector<std::function<void()>> undo_;
};

}  // namespace test_support
