#pragma once

#include <cstddef>

#include "fast/move_shapes.hpp"
#include "fast/scan_counters.hpp"
#include "fast/schedule/candidate_schedule.hpp"
#include "fast/schedule/schedule_checkpoints.hpp"
#include "fast/schedule/schedule_clock.hpp"
#include "output.hpp"
#include "penalties/time/tour_walk.hpp"

namespace tourwright {

// Rotating a block of B locations left at (i, j) gives
//
//     ... r[i−1] | r[i+B] ... r[j] | r[i] ... r[i+B−1] | r[j+1] ...
//
// so candidate (i, j+1) begins with everything (i, j) simulated before its
// block, plus one location. This run carries that schedule along row i,
// one location per candidate, instead of each candidate simulating it again.
// Its lateness only grows along the row, so once it exceeds the current
// lateness no later candidate of the row can win. Positions are the
// candidates': position p ≥ i holds r[p + B].
template <std::size_t Block>
class CarriedRun {
 public:
  // The run of row i up to and including r[j], on the current route.
  void start(const ScheduleClock& clock, const ScheduleCheckpoints& current_schedule,
             const Route& route, std::size_t i, std::size_t j, MoveCounters& counters) {
    i_ = i;
    const SimulationStart at_change =
        start_at_change(clock, current_schedule, i, [&](std::size_t) { return route[i + Block]; });
    state_ = at_change.state;
    lengths_ = 0;
    walk(clock, route, i, j + 1 - Block, counters);
  }

  // Moves on to r[j], the next location of the same route.
  void extend(const ScheduleClock& clock, const Route& route, std::size_t j,
              MoveCounters& counters) {
    walk(clock, route, end_, j + 1 - Block, counters);
  }

  const ScheduleState& state() const { return state_; }
  // Where candidate (i, j) resumes: at its block.
  SimulationStart before_block() const { return {end_, state_, lengths_}; }

 private:
  struct RunWalk {
    CarriedRun& run;
    const ScheduleClock& clock;
    const Route& route;
    MoveCounters& counters;

    std::size_t location(std::size_t p) const { return p < run.i_ ? route[p] : route[p + Block]; }
    WalkStep travel(std::size_t from, std::size_t to) {
      clock.travel(location(from), location(to), run.state_);
      run.lengths_ += clock.travel_length(location(from), location(to));
      return WalkStep::go_on;
    }
    WalkStep work(std::size_t p, std::size_t&) {
      clock.work(location(p), run.state_);
      run.lengths_ += clock.work_length(location(p));
      ++counters.positions;
      return WalkStep::go_on;
    }
  };

  void walk(const ScheduleClock& clock, const Route& route, std::size_t from, std::size_t to,
            MoveCounters& counters) {
    RunWalk walk{*this, clock, route, counters};
    walk_positions(from, to, walk);
    end_ = to;
  }

  std::size_t i_ = 0;
  std::size_t end_ = 0;  // the candidate position after the run
  ScheduleState state_;
  Nanos lengths_ = 0;
};

}  // namespace tourwright
