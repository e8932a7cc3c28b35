#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "failure.hpp"
#include "penalties/time/operation_times.hpp"
#include "penalties/time/time_windows.hpp"
#include "time/duration.hpp"

namespace tourwright {

// The caller's time inputs, as plain unsigned integers.
using RawMatrix = std::vector<std::vector<std::uint64_t>>;
using RawPair = std::pair<std::uint64_t, std::uint64_t>;
using RawWindows = std::vector<std::vector<RawPair>>;

// The time data of one solve, in the form the schedule simulation reads.
// Lists are indexed by location; their lengths are not related to each other,
// and a missing entry only fails when an evaluation looks it up.
struct TimeScheduler {
  std::vector<std::vector<Duration>> duration_matrix;
  std::vector<Duration> job_durations;
  std::vector<TimeWindows> time_windows;
  std::optional<OperationTimes> operation_times;

  // Converts and checks every given argument, in a fixed order, and builds a
  // scheduler only when the duration matrix, job durations and windows are
  // all given. The raw lists are released as soon as they are converted.
  static std::optional<TimeScheduler> from_arguments(
      std::optional<RawMatrix> duration_matrix,
      std::optional<std::vector<std::uint64_t>> job_durations,
      std::optional<RawWindows> time_windows, std::optional<RawPair> operation_times);

  // Row index checked first, then the column.
  Duration travel_duration(std::size_t from, std::size_t to) const {
    return element_at(element_at(duration_matrix, from), to);
  }
};

// Whole seconds to a duration; fails with "TimeDelta::seconds out of bounds".
Duration duration_from_input(std::uint64_t seconds);

}  // namespace tourwright
