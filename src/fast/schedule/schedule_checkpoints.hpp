#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "fast/schedule/schedule_clock.hpp"
#include "output.hpp"

namespace tourwright {

// The schedule of the current route, remembered at every position, so that a
// candidate only simulates what it changes and takes the rest from here.
// The lateness the rest of the route cannot avoid is LatenessBounds'.
class ScheduleCheckpoints {
 public:
  void rebuild(const ScheduleClock& clock, const Route& route);
  // The same after a move changed positions i..j (i < j) of the route these
  // checkpoints were built for: the schedule before i stays, and past j it
  // is walked only until it meets the one recorded.
  void rebuild_after_change(const ScheduleClock& clock, const Route& route, std::size_t i,
                            std::size_t j);

  std::size_t size() const { return arrival_.size(); }
  Nanos begin() const { return begin_; }
  // After the closing leg: the whole tour's state.
  const ScheduleState& end() const { return end_; }
  // On arrival at position k, before its work; and just after the work.
  const ScheduleState& arrival(std::size_t k) const { return arrival_[k]; }
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
  Nanos lengths_before(std::size_t p) const { return legs_up_to_[p] + jobs_before_[p]; }

  // Every location at positions p..r−1 has one window.
  bool single_windows(std::size_t p, std::size_t r) const {
    return several_windows_before_[r] == several_windows_before_[p];
  }

 private:
  void rebuild_aggregates(const ScheduleClock& clock, const Route& route, std::size_t i,
                          std::size_t j);

  Nanos begin_ = 0;
  ScheduleState end_;
  bool daily_hours_ = false;
  std::vector<ScheduleState> arrival_;
  std::vector<ScheduleState> departure_;
  std::vector<Nanos> latest_last_end_;   // over positions k..n−1
  std::vector<std::size_t> timed_jobs_;  // jobs of positive length at k..n−1
  std::vector<Nanos> legs_up_to_;
  std::vector<Nanos> jobs_before_;  // n + 1 entries
  // Locations with more than one window before k (n + 1 entries).
  std::vector<std::size_t> several_windows_before_;
};

}  // namespace tourwright
