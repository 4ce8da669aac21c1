// Puts fakes into binding slots for the life of a scope and gives each slot its old value back.
#pragma once

#include <functional>
#include <type_traits>
#include <utility>
#include <vector>

namespace test_support {

// One slot, named as a template argument so that a member needs no repeated type:
// `SlotSwap<kernel32::GetLastError> lastError_{&fakeGetLastError};`.
template <auto& Slot>
class SlotSwap {
public:
  template <typename Fake>
  explicit SlotSwap(Fake fake) noexcept : saved_(std::exchange(Slot, fake)) {}
  SlotSwap(const SlotSwap&) = delete;
  SlotSwap& operator=(const SlotSwap&) = delete;
  ~SlotSwap() { Slot = saved_; }

private:
  std::remove_cvref_t<decltype(Slot)> saved_;
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
