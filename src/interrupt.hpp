#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <type_traits>
#include <vector>

namespace tourwright {

// Stops a search by throwing (e.g. when the user pressed Ctrl-C).
using InterruptCheck = std::function<void()>;

// Installs `check` as the one that evaluations on this thread poll, for the
// life of the scope; scopes nest. A single evaluation can run for seconds
// (a long job under short operating hours is one piece per day), so the
// schedule rules poll from inside it, not only the search between rows.
class InterruptScope {
 public:
  explicit InterruptScope(const InterruptCheck& check);
  ~InterruptScope();
  InterruptScope(const InterruptScope&) = delete;
  InterruptScope& operator=(const InterruptScope&) = delete;

 private:
  const InterruptCheck* previous_;
};

// Calls the innermost installed check, if there is one; it may throw.
void poll_interrupt();

// Polls once every so many steps, for loops whose steps are each too short
// to poll (a list of millions of windows).
class PolledSteps {
 public:
  void step() {
    if (++steps_ % 4096 == 0) poll_interrupt();
  }

 private:
  unsigned steps_ = 0;
};

// `items` made `count` copies of `value` a slice at a time, polling between
// slices: touching a table of millions of entries takes a while of its own.
// The capacity is set first, so the storage never moves while it grows.
template <class T>
void assign_polled(std::vector<T>& items, std::size_t count, const std::type_identity_t<T>& value) {
  constexpr std::size_t kSlice = 4096;
  items.clear();
  items.reserve(count);
  while (items.size() < count) {
    poll_interrupt();
    items.resize(std::min(count, items.size() + kSlice), value);
  }
}

}  // namespace tourwright
