#pragma once

#include <cstddef>
#include <cstdint>

#include "fast/schedule_checkpoints.hpp"
#include "fast/schedule_state.hpp"

namespace tourwright {

// Whether a candidate beats the current solution under the time-data order.
// The candidate is the current route with positions i..j (i < j < n)
// rearranged; `location_at(k)` gives its location at position k. Its
// travelling time and distance are known exactly beforehand.
//
// Before position i nothing changed, so the simulation starts from the
// current schedule's state there (or from scratch when i = 0, where the first
// location and so the beginning change). Lateness, waiting time and the clock
// only ever grow along a schedule, so the state reached so far bounds every
// final key from below; once those bounds already fail to beat the current
// keys lexicographically, the candidate cannot win and is rejected. After
// position j the locations are the current ones, and as soon as the current
// schedule can be resumed (see ScheduleCheckpoints::resume) the rest is read
// off it; only the closing leg, back to a first location that may differ, is
// simulated again.
template <class LocationAt>
bool candidate_schedule_wins(const TimeScheduler& scheduler, const ScheduleCheckpoints& current_schedule,
                             const ScheduleKeys& current, Duration traveling_time, std::uint64_t distance,
                             std::size_t i, std::size_t j, std::size_t n, LocationAt location_at) {
  const bool new_beginning = i == 0;
  const DateTime begin = new_beginning ? scheduler.time_windows[location_at(0)].windows.front().start
                                       : current_schedule.begin();
  ScheduleState state = new_beginning ? ScheduleState{begin, {}, {}} : current_schedule.departure(i - 1);
  const auto keys = [&] {
    return ScheduleKeys{state.lateness, traveling_time, state.clock - begin, state.waiting, distance};
  };
  if (keys() >= current) return false;

  for (std::size_t k = i; k < n; ++k) {
    const std::size_t location = location_at(k);
    if (k > 0) travel_between(scheduler, location_at(k - 1), location, state);
    if (k > j) {
      if (const auto rest = current_schedule.resume(k, state)) {
        state = *rest;
        break;
      }
    }
    work_at(scheduler, location, state);
    if (keys() >= current) return false;
  }
  travel_between(scheduler, location_at(n - 1), location_at(0), state);
  return keys() < current;
}

}  // namespace tourwright
