// Puts a fake into a binding slot for one test and gives the slot its old value back afterwards.
#pragma once

namespace launcher_test {

// The slot is named as a template argument, not its type: the system's declarations carry
// calling-convention attributes that a type argument would drop.
template <auto& Slot>
class SlotSwap {
public:
  template <typename Fake>
  explicit SlotSwap(Fake fake) noexcept : saved_(Slot) {
    Slot = fake;
  }
  SlotSwap(const SlotSwap&) = delete;
  SlotSwap& operator=(const SlotSwap&) = delete;
  ~SlotSwap() { Slot = saved_; }

private:
  decltype(+Slot) saved_;
};

}  // namespace launcher_test
