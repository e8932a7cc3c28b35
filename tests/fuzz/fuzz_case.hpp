#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "output.hpp"
#include "solve.hpp"

namespace tourwright::fuzzing {

// One fuzz input, decoded: the arguments of a solve, an arbitrary route to
// evaluate on its own, and when the interrupt check should fire.
struct FuzzCase {
  // Up to 7 locations; rows, lists and windows of any length and order.
  // `time_limit` is never a real budget (absent, zero or out of range), so
  // every case runs at most one descent.
  SolveInput input;
  // A permutation, an arbitrary list of indices, or empty.
  Route route;
  // 0: never; otherwise the interrupt check throws on that call.
  unsigned interrupt_on_poll = 0;
};

// Any byte string decodes to a case. With operating hours given, job and
// travel durations are capped at 64 days' opening time: an action is cut
// into one piece per opening, and a huge duration under short hours would
// take ~1e8 pieces per literal evaluation and as many events, which is slow,
// not wrong.
FuzzCase decode_case(std::span<const std::uint8_t> bytes);

}  // namespace tourwright::fuzzing
