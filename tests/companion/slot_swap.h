// Puts a fake into a binding slot for the life of a scope and restores what was there.
#pragma once

namespace companion_test {

template <typename Fn>
class SlotSwap {
public:
  SlotSwap(Fn& slot, Fn fake) noexcept : slot_(slot), saved_(slot) { slot_ = fake; }
  ~SlotSwap() { slot_ = saved_; }
  SlotSwap(const SlotSwap&) = delete;
  SlotSwap& operator=(const SlotSwap&) = delete;

private:
  Fn& slot_;
  Fn saved_;
};

}  // namespace companion_test
