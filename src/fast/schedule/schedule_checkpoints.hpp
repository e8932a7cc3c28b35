#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "fast/schedule/schedule_clock.hpp"
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

 private:
  Nanos begin_ = 0;
  bool daily_hours_ = false;
  std::vector<ScheduleState> arrival_;
  std::vector<ScheduleState> departure_;
  std::vector<Nanos> latest_last_end_;   // over positions k..n−1
  std::vector<std::size_t> timed_jobs_;  // jobs of positive length at k..n−1
  std::vector<bool> single_windows_;     // every location at k..n−1 has one window
};

}  // namespace tourwright
