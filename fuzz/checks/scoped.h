// Puts a value (a binding slot or a piece of module state) in place for one check and gives the
// old one back afterwards, so that a replayed check leaves the test process as it found it.
#pragma once

#include <utility>

namespace fuzz {

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

}  // namespace fuzz
