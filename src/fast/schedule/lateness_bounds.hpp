#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "fast/schedule/schedule_checkpoints.hpp"
#include "fast/schedule/schedule_clock.hpp"
#include "fast/schedule/suffix_hinge.hpp"
#include "output.hpp"

namespace tourwright {

// The lateness that the unchanged positions of a candidate cannot avoid,
// however they are reached, from the current schedule's checkpoints; each
// bound in O(1).
class LatenessBounds {
 public:
  void rebuild(const ScheduleClock& clock, const Route& route,
               const ScheduleCheckpoints& checkpoints);

  // For a candidate that visits positions p..n−1 (0 < p < n) in the current
  // order, arriving at p at `arrival` or later, with an operating time
  // (ScheduleClock::open_time) of at least `open_arrival`: a lateness that
  // the jobs at p..n−1 cannot stay below. Every action progresses only while
  // open, so the job at q ends at some e with open_time(e) ≥ X_q =
  // open_arrival + A_q − A_p + its length (A: the lengths before a
  // position), and it is late by e − E ≥ X_q − open_time(E) (E: its last
  // window's end) when that is positive:
  // - summed over q, a convex function of open_arrival, bounded by its
  //   tangent at the current route (SuffixHinge);
  // - from p up to the first position where the current route waited for a
  //   window ("tight"), the current route ends each job at exactly X_q for
  //   its own arrival, so arriving δ ≥ 0 later in operating time makes each
  //   job it has late at least δ later still;
  // - with one window per location, arriving no sooner on the clock makes
  //   no job less late (see ScheduleCheckpoints::rest_bound).
  WideNanos suffix(std::size_t p, Nanos arrival, Nanos open_arrival) const;
  // The same for the jobs at p..r−1 only (the last two reasons), for a
  // candidate that visits them in the current order, whatever it does next.
  WideNanos stretch(std::size_t p, std::size_t r, Nanos arrival, Nanos open_arrival) const;

  // Counts the rebuilds, for what is derived from the current route.
  std::uint64_t generation() const { return generation_; }

 private:
  void rebuild_hinge(const ScheduleClock& clock, const Route& route);
  void rebuild_tight_stretches(const ScheduleClock& clock, const Route& route);

  const ScheduleCheckpoints* checkpoints_ = nullptr;
  SuffixHinge open_lateness_;
  std::vector<Nanos> open_arrival_;  // operating time of the arrival at k
  // The operating time each position starts from beyond the lengths before it.
  std::vector<WideNanos> origins_;
  // Sums over the positions before k: lateness and late jobs (n + 1 entries).
  std::vector<WideNanos> lateness_before_;
  std::vector<WideNanos> late_jobs_before_;
  // The first position after k's tight stretch: where the current route
  // next waited for a window.
  std::vector<std::size_t> tight_end_;
  std::uint64_t generation_ = 0;
};

}  // namespace tourwright
