#pragma once

#include <cstddef>
#include <cstdint>

#include "fast/moved_location.hpp"
#include "fast/scan_counters.hpp"
#include "fast/schedule/schedule_checkpoints.hpp"
#include "fast/schedule/schedule_clock.hpp"

namespace tourwright {

// Where the simulation of a candidate (see candidate_schedule_wins) starts:
// `state` is its state after the work at `position` − 1, and `lengths` the
// lengths of the work and travel it simulated after position i − 1 to get
// there (ScheduleClock::work_length, travel_length).
struct SimulationStart {
  std::size_t position;
  ScheduleState state;
  Nanos lengths = 0;
};

// The start before the first changed position i: the current schedule's
// state there, or the beginning when i = 0, where the first location and so
// the beginning change.
template <class LocationAt>
SimulationStart start_at_change(const ScheduleClock& clock,
                                const ScheduleCheckpoints& current_schedule, std::size_t i,
                                LocationAt location_at) {
  if (i > 0) return {i, current_schedule.departure(i - 1)};
  return {0, ScheduleState{clock.first_window_start(location_at(0)), 0, 0}};
}

// Whether a candidate beats the current solution under the time-data order.
// The candidate is the current route with positions i..j (i < j < n)
// rearranged; `location_at(k)` gives its location at position k. Its
// travelling time and distance are known exactly beforehand, and its
// schedule up to `start`.
//
// Lateness, waiting time and the clock only ever grow along a schedule, so
// the state reached so far bounds every final key from below; so does it
// with the lateness that the unchanged positions j+1..n−1 cannot avoid
// however they are reached (ScheduleCheckpoints::suffix_lateness_bound,
// given what is still to do before them). Once those bounds already fail to
// beat the current keys lexicographically, the candidate cannot win and is
// rejected. After position j the locations are the current ones, and as
// soon as the current schedule can be resumed (see
// ScheduleCheckpoints::resume) the rest is read off it; only the closing
// leg, back to a first location that may differ, is simulated again. Where
// it cannot be resumed, its bound on the rest of the schedule may still show
// that the candidate cannot win.
template <class LocationAt>
bool candidate_schedule_wins(const ScheduleClock& clock,
                             const ScheduleCheckpoints& current_schedule,
                             const ScheduleKeys& current, Nanos traveling_time,
                             std::uint64_t distance, std::size_t i, std::size_t j, std::size_t n,
                             LocationAt location_at, const InOrderStretch& stretch,
                             const SimulationStart& start, MoveCounters& counters) {
  ++counters.candidates;
  const Nanos begin = i == 0 ? clock.first_window_start(location_at(0)) : current_schedule.begin();
  ScheduleState state = start.state;
  const auto keys_from = [&](const ScheduleState& reached) {
    return ScheduleKeys{reached.lateness, traveling_time, reached.clock - begin, reached.waiting,
                        distance};
  };
  const auto keys = [&] { return keys_from(state); };

  // Before the unchanged part j+1..n−1 the candidate still has to do the
  // work at the changed positions and travel its legs up to j+1, of known
  // total length (its travelling time less the legs outside), less what it
  // simulated already.
  const bool unchanged_rest = j + 1 < n;
  Nanos ahead = 0;
  if (unchanged_rest) {
    const Nanos outside =
        (i == 0 ? 0 : current_schedule.legs_up_to(i - 1)) +
        (current_schedule.legs_up_to(n - 1) - current_schedule.legs_up_to(j + 1)) +
        clock.travel_length(location_at(n - 1), location_at(0));
    ahead = traveling_time - outside + current_schedule.jobs_before(j + 1) -
            current_schedule.jobs_before(i) - start.lengths;
  }
  // On arrival at candidate position k of the stretch, its jobs up to the
  // stretch's end are bounded too.
  const auto in_stretch = [&](std::size_t k) { return k >= stretch.first && k < stretch.end; };
  // k: the candidate position just arrived at, or none (after a work).
  const auto cannot_win = [&](std::size_t k = static_cast<std::size_t>(-1)) {
    if (keys() >= current) return true;
    const Nanos open = clock.open_time(state.clock);
    WideNanos late = state.lateness;
    if (in_stretch(k)) {
      late += current_schedule.stretch_lateness_bound(stretch.from + (k - stretch.first),
                                                      stretch.from + (stretch.end - stretch.first),
                                                      state.clock, open);
    } else if (!unchanged_rest) {
      return false;
    }
    if (unchanged_rest) {
      late += current_schedule.suffix_lateness_bound(j + 1, state.clock + ahead, open + ahead);
    }
    return keys_from(ScheduleState{state.clock, late, state.waiting}) >= current;
  };
  if (cannot_win()) {
    ++counters.rejected_unsimulated;
    return false;
  }
  ++counters.simulated;

  for (std::size_t k = start.position; k < n; ++k) {
    const std::size_t location = location_at(k);
    if (k > 0) {
      clock.travel(location_at(k - 1), location, state);
      if (k <= j + 1) ahead -= clock.travel_length(location_at(k - 1), location);
      if (in_stretch(k) && cannot_win(k)) return false;
    }
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
    ++counters.positions;
    if (k > j) {
      // Leaving at the current route's clock: the rest is the current one.
      if (const auto rest = current_schedule.merge(k, n - 1, state)) {
        state = *rest;
        break;
      }
      if (keys() >= current) return false;
      continue;
    }
    ahead -= clock.work_length(location);
    if (in_stretch(k)) {
      // The same inside the stretch, up to its last location.
      const std::size_t at = stretch.from + (k - stretch.first);
      const std::size_t last = stretch.from + (stretch.end - 1 - stretch.first);
      if (const auto rest = current_schedule.merge(at, last, state)) {
        state = *rest;
        ahead -= current_schedule.lengths_after(at, last);
        k = stretch.end - 1;
      }
    }
    if (cannot_win()) return false;
  }
  clock.travel(location_at(n - 1), location_at(0), state);
  return keys() < current;
}

}  // namespace tourwright
