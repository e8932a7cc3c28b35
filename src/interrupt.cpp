#include "interrupt.hpp"

namespace tourwright {

namespace {

thread_local const InterruptCheck* installed = nullptr;

}  // namespace

InterruptScope::InterruptScope(const InterruptCheck& check) : previous_(installed) {
  installed = &check;
}

InterruptScope::~InterruptScope() { installed = previous_; }

void poll_interrupt() {
  if (installed != nullptr && *installed) (*installed)();
}

}  // namespace tourwright
