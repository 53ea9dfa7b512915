#pragma once
// A value set for a scope and put back when the scope ends, however it ends: for flags that say
// "the program itself is doing this" (a change notice it causes, a transaction it waits for),
// which a return or an exception in between must not leave set.

#include <utility>

namespace zelmor::base {

template <typename T>
class ScopedValue {
 public:
  ScopedValue(T& target, T value) : target_(target), old_(std::exchange(target, std::move(value))) {}
  ScopedValue(const ScopedValue&) = delete;
  ScopedValue& operator=(const ScopedValue&) = delete;
  // The value it had before, which is not always the opposite: scopes may nest.
  ~ScopedValue() { target_ = std::move(old_); }

 private:
  T& target_;
  T old_;
};

}  // namespace zelmor::base
