#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "fast/schedule/hinge_sum.hpp"
#include "fast/schedule/lateness_bounds.hpp"
#include "fast/schedule/nanos.hpp"
#include "fast/schedule/schedule_clock.hpp"
#include "output.hpp"

namespace tourwright {

// Reversing i..j (0 < i) visits r[j], r[j−1], ..., r[i] after leaving
// position i − 1: its jobs are late by at least the larger of the two sums
// of LatenessBounds' reversal keys over i..j, at the operating time Y where
// the work at r[j] starts at the earliest: the current departure from i − 1
// plus the leg to r[j], or the earliest start of r[j]'s windows if later (a
// job of positive length never starts before it). Along a row the segment only
// grows, one position per candidate, so each sum is a HingeSum. The keys are
// ranked when a row needs them after the route changed, not on every
// acceptance.
class ReversalBound {
 public:
  void reset(const LatenessBounds& bounds, const ScheduleClock& clock, const Route& route,
             std::size_t i, Nanos departure) {
    bounds_ = &bounds;
    clock_ = &clock;
    route_ = &route;
    floor_ = clock.clock_floor();
    departure_ = departure;
    i_ = i;
    next_ = i;
    if (ranked_from_ != &bounds || ranked_generation_ != bounds.generation()) {
      open_keys_.rebuild(bounds.reversal_open_keys());
      clock_keys_.rebuild(bounds.reversal_clock_keys());
      ranked_from_ = &bounds;
      ranked_generation_ = bounds.generation();
    }
    open_.reset(open_keys_);
    if (floor_) in_clock_.reset(clock_keys_);
  }

  // The bound for the segment i..j, j no smaller than in the call before.
  WideNanos at(std::size_t j) {
    for (; next_ <= j; ++next_) {
      open_.add(next_);
      if (floor_) in_clock_.add(next_);
    }
    const Route& route = *route_;
    const std::size_t first = route[j];
    Nanos start = departure_ + clock_->travel_length(route[i_ - 1], first);
    if (clock_->timed_job(first))
      start = std::max(start, clock_->open_time(clock_->earliest_window_start(first)));
    const WideNanos reached = WideNanos{start} + bounds_->reversed_lengths(j);
    const WideNanos in_open_time = open_.at(reached);
    if (!floor_) return in_open_time;
    // Each job's lateness is a whole number of nanoseconds at least its
    // term, so the sum is at least the sum of the terms, rounded down.
    return std::max(in_open_time, in_clock_.at(kNanosPerDay * reached) / floor_->open);
  }

 private:
  const LatenessBounds* bounds_ = nullptr;
  const ScheduleClock* clock_ = nullptr;
  const Route* route_ = nullptr;
  std::optional<ScheduleClock::ClockFloor> floor_;
  Nanos departure_ = 0;
  std::size_t i_ = 0;
  std::size_t next_ = 0;  // the first position not yet among the keys
  const LatenessBounds* ranked_from_ = nullptr;
  std::uint64_t ranked_generation_ = 0;
  RankedKeys open_keys_;
  RankedKeys clock_keys_;
  HingeSum open_;
  HingeSum in_clock_;
};

}  // namespace tourwright
