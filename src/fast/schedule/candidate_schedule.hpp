#pragma once

#include <cstddef>
#include <cstdint>

#include "fast/move_shapes.hpp"
#include "fast/scan_counters.hpp"
#include "fast/schedule/lateness_bounds.hpp"
#include "fast/schedule/reversal_bound.hpp"
#include "fast/schedule/schedule_checkpoints.hpp"
#include "fast/schedule/schedule_clock.hpp"
#include "penalties/time/tour_walk.hpp"

namespace tourwright {

// The current solution as candidates read it.
struct CurrentSchedule {
  const ScheduleClock& clock;
  const ScheduleCheckpoints& checkpoints;
  const LatenessBounds& bounds;
  const ScheduleKeys& keys;
};

// Where the simulation of a candidate starts: `state` is its state after the
// work at `position` − 1, and `lengths` the lengths of the work and travel it
// simulated after position i − 1 to get there (ScheduleClock::work_length,
// travel_length).
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

// What is known of a candidate before its schedule: the current route with
// positions i..j (i < j < n) rearranged, its travelling time and distance
// (exact), the stretch it keeps in order, its schedule up to `start`, and,
// for a reversal, the row's bound on its segment's lateness.
struct CandidateMove {
  std::size_t i;
  std::size_t j;
  std::size_t n;
  Nanos traveling_time;
  std::uint64_t distance;
  InOrderStretch stretch;
  SimulationStart start;
  ReversalBound* reversal = nullptr;
};

// Whether a candidate beats the current solution under the time-data order.
//
// Lateness, waiting time and the clock only ever grow along a schedule, so
// the state reached so far bounds every final key from below; so does it
// with the lateness that the unchanged positions j+1..n−1 cannot avoid
// however they are reached (LatenessBounds::suffix, given what is still to
// do before them). Once those bounds already fail to beat the current keys
// lexicographically, the candidate cannot win and is rejected. After
// position j the locations are the current ones, and as soon as the current
// schedule can be resumed or merged into (ScheduleCheckpoints::resume,
// merge) the rest is read off it; only the closing leg, back to a first
// location that may differ, is simulated again. Where it cannot be resumed,
// its bound on the rest of the schedule may still show that the candidate
// cannot win.
//
// `location_at(k)` is the location at candidate position k, `leg_at(from,
// to)` the length of the leg between two candidate positions
// (ScheduleClock::travel_length of their locations; see CandidateLegs).
template <class LocationAt, class LegAt>
class CandidateSchedule {
 public:
  CandidateSchedule(const CurrentSchedule& current, const CandidateMove& move,
                    LocationAt location_at, LegAt leg_at, MoveCounters& counters)
      : current_(current),
        move_(move),
        location_at_(location_at),
        leg_at_(leg_at),
        counters_(counters),
        begin_(move.i == 0 ? current.clock.first_window_start(location_at(0))
                           : current.checkpoints.begin()),
        state_(move.start.state),
        unchanged_rest_(move.j + 1 < move.n),
        ahead_(unchanged_rest_ ? lengths_ahead() : 0) {}

  bool wins() {
    ++counters_.candidates;
    if (cannot_win(kNoArrival, move_.reversal ? move_.reversal->at(move_.j) : 0)) {
      ++counters_.rejected_unsimulated;
      return false;
    }
    ++counters_.simulated;
    const bool reached_end = walk_tour_from(move_.start.position, move_.n, *this);
    if (move_.reversal) move_.reversal->end_candidate();
    return reached_end && keys() < current_.keys;
  }

  // The walk (tour_walk.hpp).
  WalkStep travel(std::size_t from, std::size_t to) {
    const Nanos leg = leg_at_(from, to);
    current_.clock.travel_by(leg, state_);
    if (to == 0) return WalkStep::go_on;  // the closing leg
    if (to <= move_.j + 1) ahead_ -= leg;
    if (in_stretch(to) && cannot_win(to)) return WalkStep::abandon;
    return to > move_.j ? on_unchanged_arrival(to) : WalkStep::go_on;
  }
  WalkStep work(std::size_t k, std::size_t& next) {
    current_.clock.work(location_at_(k), state_);
    ++counters_.positions;
    if (k > move_.j) return after_unchanged_work(k);
    ahead_ -= current_.clock.work_length(location_at_(k));
    if (in_stretch(k)) merge_rest_of_stretch(k, next);
    return cannot_win(kNoArrival, reversal_ahead(k)) ? WalkStep::abandon : WalkStep::go_on;
  }

 private:
  static constexpr std::size_t kNoArrival = static_cast<std::size_t>(-1);

  ScheduleKeys keys_from(const ScheduleState& reached) const {
    return ScheduleKeys{reached.lateness, move_.traveling_time, reached.clock - begin_,
                        reached.waiting, move_.distance};
  }
  ScheduleKeys keys() const { return keys_from(state_); }

  // Before the unchanged part j+1..n−1 the candidate still has to do the
  // work at the changed positions and travel its legs up to j+1, of known
  // total length (its travelling time less the legs outside), less what it
  // simulated already.
  Nanos lengths_ahead() const {
    const ScheduleCheckpoints& at = current_.checkpoints;
    const Nanos outside = (move_.i == 0 ? 0 : at.legs_up_to(move_.i - 1)) +
                          (at.legs_up_to(move_.n - 1) - at.legs_up_to(move_.j + 1)) +
                          leg_at_(move_.n - 1, 0);
    return move_.traveling_time - outside + at.jobs_before(move_.j + 1) - at.jobs_before(move_.i) -
           move_.start.lengths;
  }

  bool in_stretch(std::size_t k) const { return k >= move_.stretch.first && k < move_.stretch.end; }
  // The current position of candidate position k of the stretch.
  std::size_t current_position(std::size_t k) const {
    return move_.stretch.from + (k - move_.stretch.first);
  }

  // Whether the keys reached so far, with the lateness the positions still
  // ahead cannot avoid, already fail to beat the current ones. `arrived`:
  // the candidate position just arrived at, or none (after a work); on
  // arrival in the stretch its jobs up to the stretch's end are bounded too.
  // `changed`: a bound on the jobs still ahead up to j, if known.
  bool cannot_win(std::size_t arrived = kNoArrival, WideNanos changed = 0) const {
    if (keys() >= current_.keys) return true;
    const Nanos open = current_.clock.open_time(state_.clock);
    WideNanos late = state_.lateness + changed;
    if (in_stretch(arrived)) {
      late += current_.bounds.stretch(current_position(arrived),
                                      current_position(move_.stretch.end), state_.clock, open);
    } else if (!unchanged_rest_ && changed == 0) {
      return false;
    }
    if (unchanged_rest_)
      late += current_.bounds.suffix(move_.j + 1, state_.clock + ahead_, open + ahead_);
    return keys_from(ScheduleState{state_.clock, late, state_.waiting}) >= current_.keys;
  }

  // A reversal's jobs still ahead in its segment, after the work at k.
  WideNanos reversal_ahead(std::size_t k) {
    if (!move_.reversal) return 0;
    return move_.reversal->after_work(move_.i + move_.j - k,
                                      current_.clock.open_time(state_.clock));
  }

  // Arrived at an unchanged position: the rest may be the current
  // schedule's, or bounded by it.
  WalkStep on_unchanged_arrival(std::size_t k) {
    if (const auto rest = current_.checkpoints.resume(k, state_)) {
      state_ = *rest;
      return WalkStep::finish;
    }
    if (const auto bound = current_.checkpoints.rest_bound(k, state_)) {
      if (keys_from(*bound) >= current_.keys) return WalkStep::abandon;
    }
    return WalkStep::go_on;
  }

  // Leaving an unchanged position at the current route's clock: the rest is
  // the current one.
  WalkStep after_unchanged_work(std::size_t k) {
    if (const auto rest = current_.checkpoints.merge(k, move_.n - 1, state_)) {
      state_ = *rest;
      return WalkStep::finish;
    }
    return keys() >= current_.keys ? WalkStep::abandon : WalkStep::go_on;
  }

  // The same inside the stretch, up to its last location: the walk goes on
  // after the stretch.
  void merge_rest_of_stretch(std::size_t k, std::size_t& next) {
    const std::size_t at = current_position(k);
    const std::size_t last = current_position(move_.stretch.end - 1);
    if (const auto rest = current_.checkpoints.merge(at, last, state_)) {
      state_ = *rest;
      ahead_ -= current_.checkpoints.lengths_after(at, last);
      next = move_.stretch.end;
    }
  }

  const CurrentSchedule& current_;
  const CandidateMove& move_;
  LocationAt location_at_;
  LegAt leg_at_;
  MoveCounters& counters_;
  Nanos begin_;
  ScheduleState state_;
  bool unchanged_rest_;
  Nanos ahead_;
};

template <class LocationAt, class LegAt>
bool candidate_schedule_wins(const CurrentSchedule& current, const CandidateMove& move,
                             LocationAt location_at, LegAt leg_at, MoveCounters& counters) {
  return CandidateSchedule<LocationAt, LegAt>(current, move, location_at, leg_at, counters).wins();
}

}  // namespace tourwright
