// Puts fakes into binding slots and puts the old values back, newest first, when it ends.
#pragma once

#include <functional>
#include <type_traits>
#include <utility>
#include <vector>

namespace windowhost_test {

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

}  // namespace windowhost_test
