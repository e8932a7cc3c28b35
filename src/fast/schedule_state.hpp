#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>

#include "penalties/time/time_input.hpp"
#include "penalties/time/time_output.hpp"
#include "time/date_time.hpp"
#include "time/duration.hpp"

namespace tourwright {

// Where a schedule stands between two actions: its clock and the two sums a
// candidate cannot know in advance. (Travelling time is a sum of leg lengths
// and working time a constant, so neither needs simulating.)
struct ScheduleState {
  DateTime clock;
  Duration lateness;
  Duration waiting;
};

// The keys of the time-data order, in its order; the smaller wins.
struct ScheduleKeys {
  Duration lateness;
  Duration traveling_time;
  Duration duration;
  Duration waiting_time;
  std::uint64_t distance = 0;

  friend auto operator<=>(const ScheduleKeys&, const ScheduleKeys&) = default;
};

// The next action of a route schedule, placed by the same `action_report` the
// literal evaluation uses, so every clock and sum agrees with it exactly. The
// route schedule adds each action's totals to its own, which is what these do.
inline void work_at(const TimeScheduler& scheduler, std::size_t location, ScheduleState& state) {
  const OperationTimes* hours = scheduler.operation_times ? &*scheduler.operation_times : nullptr;
  const TimeReport report = action_report(scheduler.job_durations[location], &scheduler.time_windows[location],
                                          hours, state.clock, false, location, false);
  state.clock = report.end_time;
  state.lateness += report.lateness;
  state.waiting += report.waiting_time;
}

inline void travel_between(const TimeScheduler& scheduler, std::size_t from, std::size_t to,
                           ScheduleState& state) {
  const OperationTimes* hours = scheduler.operation_times ? &*scheduler.operation_times : nullptr;
  const TimeReport report = action_report(scheduler.duration_matrix[from][to], nullptr, hours, state.clock,
                                          true, std::nullopt, false);
  state.clock = report.end_time;
  state.waiting += report.waiting_time;
}

}  // namespace tourwright
