// Puts a fake into a binding slot for the life of one scope, then puts the old value back.
#pragma once

#include <utility>

namespace director_test {

template <typename Fn>
class SlotSwap {
public:
  SlotSwap(Fn& slot, Fn fake) noexcept : slot_(slot), saved_(std::exchange(slot, fake)) {}
  SlotSwap(const SlotSwap&) = delete;
  SlotSwap& operator=(const SlotSwap&) = delete;
  ~SlotSwap() { slot_ = saved_; }

private:
  Fn& slot_;
  Fn saved_;
};

}  // namespace director_test
