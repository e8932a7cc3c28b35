#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "fast/schedule/hinge_sum.hpp"
#include "fast/schedule/lateness_bounds.hpp"
#include "fast/schedule/nanos.hpp"
#include "fast/schedule/schedule_clock.hpp"
#include "output.hpp"

namespace tourwright {

// Reversing i..j (0 < i) visits r[j], r[j−1], ..., r[i] after leaving
// position i − 1. Let W_m be the lengths of positions 0..m visited
// backwards (work at m, travel from m to m − 1, ..., work at 0). If the work
// at r[j] starts at operating time Y, the job at m ≤ j ends no sooner than
// Y + W_j − (W_m − its length), so a job of positive length is late by at
// least
// - Y + W_j − its open key: W_m less its length plus the operating time of
//   its last window's end;
// - with hours, (day · (Y + W_j) − its clock key) / open per day, from the
//   line below the clock (ScheduleClock::ClockFloor), the clock key being
//   day · (W_m − its length) + open · (its last window's end − offset).
// Y is at least the current departure from i − 1 plus the leg to r[j], and
// at least the earliest start of r[j]'s windows (a job of positive length
// never starts before it). The bound is the larger of the two sums over
// i..j; along a row the segment grows one position per candidate, so each
// sum is a HingeSum. While a candidate walks its segment, the jobs it has
// done leave the sums, and the ones still ahead are bounded the same way
// from where it stands; they return when it is judged. Keys are made when a
// row needs them after the route changed, not on every acceptance.
class ReversalBound {
 public:
  // Row i of the route `bounds` were last rebuilt for, which must stay alive.
  void reset(const LatenessBounds& bounds, const ScheduleClock& clock, const Route& route,
             std::size_t i, Nanos departure) {
    clock_ = &clock;
    route_ = &route;
    floor_ = clock.clock_floor();
    departure_ = departure;
    i_ = i;
    next_ = i;
    if (keyed_from_ != &bounds || keyed_generation_ != bounds.generation()) {
      rebuild_keys(clock, route);
      keyed_from_ = &bounds;
      keyed_generation_ = bounds.generation();
    }
    open_.reset(open_keys_);
    if (floor_) in_clock_.reset(clock_keys_);
  }

  // The bound for candidate (i, j), j no smaller than in the call before.
  WideNanos at(std::size_t j) {
    for (; next_ <= j; ++next_) add(next_);
    walked_ = next_;
    return ahead(j, departure_ + clock_->travel_length((*route_)[i_ - 1], (*route_)[j]));
  }
  // After the candidate's work at r[m], at operating time `open`: a bound
  // for the jobs at i..m−1 still ahead of it. Asked after 1, 2, 4, 8 and
  // then every 16 jobs of the walk (zero in between), so that a long walk
  // pays for it in proportion; the jobs done leave the sums only then.
  WideNanos after_work(std::size_t m, Nanos open) {
    const std::size_t done = next_ - m;
    if (m == i_ || !(done % 16 == 0 || (done & (done - 1)) == 0)) return 0;
    for (; walked_ > m; --walked_) remove(walked_ - 1);
    return ahead(m - 1, open + clock_->travel_length((*route_)[m], (*route_)[m - 1]));
  }
  // The candidate is judged: the jobs it walked return to the sums.
  void end_candidate() {
    for (; walked_ < next_; ++walked_) add(walked_);
  }

 private:
  void add(std::size_t m) {
    open_.add(m);
    if (floor_) in_clock_.add(m);
  }
  void remove(std::size_t m) {
    open_.remove(m);
    if (floor_) in_clock_.remove(m);
  }

  // The jobs at i..m still in the sums, the work at r[m] reached no sooner
  // than operating time `arrival`.
  WideNanos ahead(std::size_t m, Nanos arrival) const {
    const std::size_t first = (*route_)[m];
    Nanos start = arrival;
    if (clock_->timed_job(first))
      start = std::max(start, clock_->open_time(clock_->earliest_window_start(first)));
    const WideNanos reached = WideNanos{start} + reversed_lengths_[m];
    const WideNanos in_open_time = open_.at(reached);
    if (!floor_) return in_open_time;
    // Each job's lateness is a whole number of nanoseconds at least its
    // term, so the sum is at least the sum of the terms, rounded down.
    return std::max(in_open_time, in_clock_.at(kNanosPerDay * reached) / floor_->open);
  }

  void rebuild_keys(const ScheduleClock& clock, const Route& route) {
    const std::size_t n = route.size();
    reversed_lengths_.resize(n);
    std::vector<std::optional<WideNanos>> open(n);
    std::vector<std::optional<WideNanos>> in_clock(floor_ ? n : 0);
    WideNanos lengths = 0;
    for (std::size_t m = 0; m < n; ++m) {
      if (m > 0) lengths += clock.travel_length(route[m], route[m - 1]);
      const Nanos length = clock.work_length(route[m]);
      lengths += length;
      reversed_lengths_[m] = lengths;
      if (length <= 0) continue;  // never late
      const Nanos end = clock.last_window_end(route[m]);
      const WideNanos before = lengths - length;
      open[m] = before + clock.open_time(end);
      if (floor_)
        in_clock[m] = kNanosPerDay * before + WideNanos{floor_->open} * (end - floor_->offset);
    }
    open_keys_.rebuild(open);
    clock_keys_.rebuild(in_clock);
  }

  const ScheduleClock* clock_ = nullptr;
  const Route* route_ = nullptr;
  std::optional<ScheduleClock::ClockFloor> floor_;
  Nanos departure_ = 0;
  std::size_t i_ = 0;
  std::size_t next_ = 0;    // the first position not yet among the keys
  std::size_t walked_ = 0;  // the candidate's walk took out walked_ .. next_ − 1
  const LatenessBounds* keyed_from_ = nullptr;
  std::uint64_t keyed_generation_ = 0;
  std::vector<WideNanos> reversed_lengths_;  // W_m
  RankedKeys open_keys_;
  RankedKeys clock_keys_;
  HingeSum open_;
  HingeSum in_clock_;
};

}  // namespace tourwright
