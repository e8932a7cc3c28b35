#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "fast/schedule/schedule_clock.hpp"
#include "fast/schedule/suffix_hinge.hpp"
#include "output.hpp"

namespace tourwright {

// The schedule of the current route, remembered at every position, so that a
// candidate only simulates what it changes and takes the rest from here.
class ScheduleCheckpoints {
 public:
  void rebuild(const ScheduleClock& clock, const Route& route);

  Nanos begin() const { return begin_; }
  // Just after the work at position k.
  const ScheduleState& departure(std::size_t k) const { return departure_[k]; }

  // A candidate that visits positions k..n−1 in the current route's order and
  // stands at `candidate` on arrival at k: its state after the work at n−1,
  // when it follows from the current schedule without simulation:
  // - the same clock as the current route at k: the same actions follow from
  //   the same instant, so the rest of the schedule is identical;
  // - both clocks past the last window end of every remaining location, and
  //   (with operating hours) a whole number of days apart: no window is
  //   consulted any more and the hours repeat daily, so the rest is the
  //   current schedule moved by the difference, each remaining job as late
  //   as before plus that difference.
  // Nothing when neither holds.
  std::optional<ScheduleState> resume(std::size_t k, const ScheduleState& candidate) const;

  // For the same kind of candidate: a state that its state after the work at
  // n−1 cannot be below in clock or lateness, when it arrives at k no sooner
  // than the current route and every remaining location has one window.
  // Then each action ends no sooner than the current route's (an action
  // starts at the later of its arrival and its window's start, and the hours
  // only ever add waits), so every remaining job is at least as late. Waiting
  // is bounded by what the candidate has waited so far. Nothing otherwise.
  std::optional<ScheduleState> rest_bound(std::size_t k, const ScheduleState& candidate) const;

  // A candidate that leaves position p at the current route's clock there
  // and then visits p+1..r in the current order: its state after the work
  // at r, the current route's with the candidate's sums so far. Nothing
  // when the clocks differ.
  std::optional<ScheduleState> merge(std::size_t p, std::size_t r,
                                     const ScheduleState& candidate) const {
    const ScheduleState& here = departure_[p];
    if (candidate.clock != here.clock) return std::nullopt;
    const ScheduleState& there = departure_[r];
    return ScheduleState{there.clock, candidate.lateness + (there.lateness - here.lateness),
                         candidate.waiting + (there.waiting - here.waiting)};
  }
  // The lengths of the travel and work after the work at p, up to the work
  // at r.
  Nanos lengths_after(std::size_t p, std::size_t r) const {
    return legs_up_to_[r] - legs_up_to_[p] + jobs_before_[r + 1] - jobs_before_[p + 1];
  }

  // The lengths (ScheduleClock::work_length, travel_length) of the current
  // route: of its legs between positions 0..p, and of its jobs before p.
  Nanos legs_up_to(std::size_t p) const { return legs_up_to_[p]; }
  Nanos jobs_before(std::size_t p) const { return jobs_before_[p]; }

  // For the same kind of candidate, arriving at p (0 < p < n) at `arrival`
  // or later, with an operating time (ScheduleClock::open_time) of at least
  // `open_arrival`: a lateness that the jobs at p..n−1 cannot stay below.
  // Every action
  // progresses only while open, so the job at q ends at some e with
  // open_time(e) ≥ X_q = open_arrival + A_q − A_p + its length (A: the
  // lengths before a position), and it is late by e − E ≥ X_q −
  // open_time(E) (E: its last window's end) when that is positive:
  // - summed over q, a convex function of open_arrival, bounded by its
  //   tangent at the current route (SuffixHinge);
  // - from p up to the first position where the current route waited for a
  //   window ("tight"), the current route ends each job at exactly X_q for
  //   its own arrival, so arriving δ ≥ 0 later in operating time makes each
  //   job it has late at least δ later still;
  // - with one window per location, arriving no sooner on the clock makes
  //   no job less late (see rest_bound).
  WideNanos suffix_lateness_bound(std::size_t p, Nanos arrival, Nanos open_arrival) const;
  // The same for the jobs at p..r−1 only (the last two reasons), for a
  // candidate that visits them in the current order, whatever it does next.
  WideNanos stretch_lateness_bound(std::size_t p, std::size_t r, Nanos arrival,
                                   Nanos open_arrival) const;

 private:
  Nanos begin_ = 0;
  bool daily_hours_ = false;
  std::vector<ScheduleState> arrival_;
  std::vector<ScheduleState> departure_;
  std::vector<Nanos> latest_last_end_;   // over positions k..n−1
  std::vector<std::size_t> timed_jobs_;  // jobs of positive length at k..n−1
  std::vector<Nanos> legs_up_to_;
  std::vector<Nanos> jobs_before_;  // n + 1 entries
  SuffixHinge open_lateness_;
  std::vector<Nanos> open_arrival_;  // operating time of the arrival at k
  // Sums over the positions before k: lateness, late jobs, locations with
  // more than one window (n + 1 entries each).
  std::vector<WideNanos> lateness_before_;
  std::vector<WideNanos> late_jobs_before_;
  std::vector<std::size_t> several_windows_before_;
  // The first position after k's tight stretch: where the current route
  // next waited for a window.
  std::vector<std::size_t> tight_end_;

  // Every location at positions p..r−1 has one window.
  bool single_windows(std::size_t p, std::size_t r) const {
    return several_windows_before_[r] == several_windows_before_[p];
  }
  void rebuild_suffix_bounds(const ScheduleClock& clock, const Route& route);
};

}  // namespace tourwright
