#pragma once

// The order of a closed tour's schedule, written once for every evaluation
// (the literal one, the current schedule's checkpoints, candidates and the
// runs they carry): it begins at the start of the first window listed for
// the location at position 0; at each position comes the travel from the
// position before (none at position 0), then the work; last, the leg from
// position n − 1 back to position 0. place_action (schedule_rules.hpp)
// places each action.

#include <concepts>
#include <cstddef>

namespace tourwright {

// What a walk does after an action.
enum class WalkStep {
  go_on,    // to the next action
  finish,   // the rest up to position n − 1 is accounted for: the closing leg follows
  abandon,  // stop at once, without the closing leg
};

// `travel(from, to)` and `work(k, next)` take positions; `next` starts as
// k + 1 and may be moved further on when the work accounts for positions
// after k too.
template <class Walk>
concept TourWalk = requires(Walk walk, std::size_t k, std::size_t& next) {
  { walk.travel(k, k) } -> std::same_as<WalkStep>;
  { walk.work(k, next) } -> std::same_as<WalkStep>;
};

// Positions from..to−1: the travel into each (but position 0) and its work.
template <TourWalk Walk>
[[gnu::always_inline]] inline WalkStep walk_positions(std::size_t from, std::size_t to,
                                                      Walk& walk) {
  for (std::size_t k = from; k < to;) {
    if (k > 0) {
      if (const WalkStep step = walk.travel(k - 1, k); step != WalkStep::go_on) return step;
    }
    std::size_t next = k + 1;
    if (const WalkStep step = walk.work(k, next); step != WalkStep::go_on) return step;
    k = next;
  }
  return WalkStep::go_on;
}

// Positions from..n−1 (n ≥ 1), then the closing leg, unless abandoned: true
// when the walk reached its end.
template <TourWalk Walk>
[[gnu::always_inline]] inline bool walk_tour_from(std::size_t from, std::size_t n, Walk& walk) {
  if (walk_positions(from, n, walk) == WalkStep::abandon) return false;
  walk.travel(n - 1, 0);
  return true;
}

}  // namespace tourwright
