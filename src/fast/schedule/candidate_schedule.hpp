#pragma once

#include <cstddef>
#include <cstdint>

#include "fast/schedule/schedule_checkpoints.hpp"
#include "fast/schedule/schedule_clock.hpp"

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
// simulated again. Where it cannot be resumed, its bound on the rest of the
// schedule may still show that the candidate cannot win.
template <class LocationAt>
bool candidate_schedule_wins(const ScheduleClock& clock,
                             const ScheduleCheckpoints& current_schedule,
                             const ScheduleKeys& current, Nanos traveling_time,
                             std::uint64_t distance, std::size_t i, std::size_t j, std::size_t n,
                             LocationAt location_at) {
  const bool new_beginning = i == 0;
  const Nanos begin =
      new_beginning ? clock.first_window_start(location_at(0)) : current_schedule.begin();
  ScheduleState state =
      new_beginning ? ScheduleState{begin, 0, 0} : current_schedule.departure(i - 1);
  const auto keys_from = [&](const ScheduleState& reached) {
    return ScheduleKeys{reached.lateness, traveling_time, reached.clock - begin, reached.waiting,
                        distance};
  };
  const auto keys = [&] { return keys_from(state); };
  if (keys() >= current) return false;

  for (std::size_t k = i; k < n; ++k) {
    const std::size_t location = location_at(k);
    if (k > 0) clock.travel(location_at(k - 1), location, state);
    if (k > j) {
      if (const auto rest = current_schedule.resume(k, state)) {
        state = *rest;
        break;
      }
      if (const auto bound = current_schedule.rest_bound(k, state)) {
        if (keys_from(*bound) >= current) return false;
      }
    }
    clock.work(location, state);
    if (keys() >= current) return false;
  }
  clock.travel(location_at(n - 1), location_at(0), state);
  return keys() < current;
}

}  // namespace tourwright
