#pragma once

#include <cstddef>

#include "fast/scan_counters.hpp"
#include "fast/schedule/candidate_schedule.hpp"
#include "fast/schedule/schedule_checkpoints.hpp"
#include "fast/schedule/schedule_clock.hpp"
#include "output.hpp"

namespace tourwright {

// Rotating a block of B locations left at (i, j) gives
//
//     ... r[i−1] | r[i+B] ... r[j] | r[i] ... r[i+B−1] | r[j+1] ...
//
// so candidate (i, j+1) begins with everything (i, j) simulated before its
// block, plus one location. This run carries that schedule along row i,
// one location per candidate, instead of each candidate simulating it again.
// Its lateness only grows along the row, so once it exceeds the current
// lateness no later candidate of the row can win.
class CarriedRun {
 public:
  // The run of row i up to and including r[j], on the current route.
  void start(const ScheduleClock& clock, const ScheduleCheckpoints& current_schedule,
             const Route& route, std::size_t i, std::size_t block, std::size_t j,
             MoveCounters& counters) {
    i_ = i;
    block_ = block;
    first_ = i + block;
    const SimulationStart at_change =
        start_at_change(clock, current_schedule, i, [&](std::size_t) { return route[first_]; });
    state_ = at_change.state;
    lengths_ = 0;
    for (std::size_t q = first_; q <= j; ++q) step(clock, route, q, counters);
  }

  // Moves on to r[j], the next location of the same route.
  void extend(const ScheduleClock& clock, const Route& route, std::size_t j,
              MoveCounters& counters) {
    step(clock, route, j, counters);
  }

  const ScheduleState& state() const { return state_; }
  // Where candidate (i, last) resumes: at its block.
  SimulationStart before_block() const { return {last_ + 1 - block_, state_, lengths_}; }

 private:
  void step(const ScheduleClock& clock, const Route& route, std::size_t q, MoveCounters& counters) {
    if (q > first_ || i_ > 0) {
      const std::size_t from = q > first_ ? route[q - 1] : route[i_ - 1];
      clock.travel(from, route[q], state_);
      lengths_ += clock.travel_length(from, route[q]);
    }
    clock.work(route[q], state_);
    lengths_ += clock.work_length(route[q]);
    ++counters.positions;
    last_ = q;
  }

  std::size_t i_ = 0;
  std::size_t block_ = 0;
  std::size_t first_ = 0;  // i + block: the run's first location
  std::size_t last_ = 0;   // the run's last location so far
  ScheduleState state_;
  Nanos lengths_ = 0;
};

}  // namespace tourwright
