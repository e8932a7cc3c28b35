#include "solve.hpp"

#include <utility>

#include "interrupt.hpp"
#include "penalizer.hpp"

namespace tourwright {

SolveOutput solve(SolveInput input, Solver::InterruptCheck interrupt_check) {
  // Converting the time data, filling the search's tables and evaluating the
  // start route can each take seconds on large inputs.
  const InterruptScope polled_in_evaluations(interrupt_check);
  std::optional<TimeScheduler> scheduler = TimeScheduler::from_arguments(
      std::move(input.duration_matrix), std::move(input.job_durations),
      std::move(input.time_windows), input.operation_times);
  // The limit is checked only once the time data has converted cleanly, and
  // like any duration given in whole seconds.
  std::optional<Duration> time_limit;
  if (input.time_limit) time_limit = duration_from_input(*input.time_limit);

  Solver solver(Penalizer{std::move(input.distance_matrix), std::move(scheduler)}, time_limit);
  solver.set_interrupt_check(interrupt_check);
  solver.solve();
  // The schedule's events are moved into the result, never copied.
  return SolveOutput{solver.take_best_solution(), solver.iterations(), solver.time_taken()};
}

}  // namespace tourwright
