#pragma once

#include <functional>

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

}  // namespace tourwright
