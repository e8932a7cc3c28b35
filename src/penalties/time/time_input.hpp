#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "failure.hpp"
#include "penalties/packed_matrix.hpp"
#include "penalties/time/operation_times.hpp"
#include "penalties/time/time_windows.hpp"
#include "time/duration.hpp"

namespace tourwright {

// The caller's time inputs, as plain unsigned integers.
using RawMatrix = IntegerRows;
using RawPair = std::pair<std::uint64_t, std::uint64_t>;
using RawWindows = std::vector<std::vector<RawPair>>;

// The time data of one solve, in the form the schedule simulation reads.
// Lists are indexed by location; their lengths are not related to each other,
// and a missing entry only fails when an evaluation looks it up.
struct TimeScheduler {
  // Travel durations: whole seconds packed into one table of 4 bytes a leg
  // (shared by the fast search) when the caller's matrix is square and
  // every entry fits 32 bits; else rows of durations, of any lengths. Read
  // through travel_duration, which gives the same either way.
  std::vector<std::vector<Duration>> duration_matrix;
  std::vector<Duration> job_durations;
  std::vector<TimeWindows> time_windows;
  std::optional<OperationTimes> operation_times;
  PackedMatrix packed_durations{};

  // Converts and checks every given argument, in a fixed order, and builds a
  // scheduler only when the duration matrix, job durations and windows are
  // all given. The raw lists are released as soon as they are converted.
  static std::optional<TimeScheduler> from_arguments(
      std::optional<MatrixInput> duration_matrix,
      std::optional<std::vector<std::uint64_t>> job_durations,
      std::optional<RawWindows> time_windows, std::optional<RawPair> operation_times);

  // Row index checked first, then the column.
  Duration travel_duration(std::size_t from, std::size_t to) const {
    if (!packed_durations.entries) return element_at(element_at(duration_matrix, from), to);
    return Duration::from_seconds(packed_durations.checked_at(from, to));
  }
  // Whether each of the first n rows of the durations has at least n entries.
  bool durations_square(std::size_t n) const {
    return packed_durations.entries ? packed_durations.square(n) : rows_square(duration_matrix, n);
  }
};

// Whole seconds to a duration; fails with "TimeDelta::seconds out of bounds".
Duration duration_from_input(std::uint64_t seconds);

}  // namespace tourwright
