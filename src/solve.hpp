#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "output.hpp"
#include "penalties/distance/distance_matrix.hpp"
#include "penalties/time/time_input.hpp"
#include "solver.hpp"
#include "time/duration.hpp"

namespace tourwright {

// Everything one solve needs, as plain data copied out of the caller's values.
struct SolveInput {
  MatrixInput distance_matrix;
  std::optional<MatrixInput> duration_matrix;
  std::optional<std::vector<std::uint64_t>> job_durations;
  std::optional<RawWindows> time_windows;
  std::optional<RawPair> operation_times;
  std::optional<std::uint64_t> time_limit;
};

struct SolveOutput {
  Solution best_solution;
  std::uint64_t iterations = 0;
  Duration time_taken;
};

// Converts the time data, then the limit, builds the objective and runs the
// search. Every failure is a Failure carrying the caller-visible message;
// `interrupt_check` may stop the search by throwing its own exception.
SolveOutput solve(SolveInput input, Solver::InterruptCheck interrupt_check = {});

}  // namespace tourwright
