#include "penalties/time/time_input.hpp"

#include <utility>
#include <variant>

#include "failure.hpp"
#include "interrupt.hpp"
#include "messages.hpp"

namespace tourwright {

// Every input is read as the unsigned number it is, so values from 2^63 up are
// refused like any other value above the bound instead of turning negative.
Duration duration_from_input(std::uint64_t seconds) {
  if (seconds > static_cast<std::uint64_t>(Duration::kMaxWholeSeconds)) {
    fail(messages::kSecondsOutOfBounds);
  }
  return Duration::from_seconds(static_cast<std::int64_t>(seconds));
}

namespace {

TimeOfDay time_of_day_from_input(std::uint64_t seconds_since_midnight) {
  duration_from_input(seconds_since_midnight);  // the same bound as a duration
  return TimeOfDay::from_seconds_since_midnight(seconds_since_midnight);
}

std::vector<std::vector<Duration>> convert_matrix(IntegerRows raw) {
  std::vector<std::vector<Duration>> matrix;
  matrix.reserve(raw.size());
  for (auto& raw_row : raw) {
    poll_interrupt();  // a row at a time
    std::vector<Duration>& row = matrix.emplace_back();
    row.reserve(raw_row.size());
    for (std::uint64_t value : raw_row) row.push_back(duration_from_input(value));
    raw_row = {};
  }
  return matrix;
}

// A travel matrix packed into `packed` where it can be (whole seconds that
// fit 32 bits are all valid durations: nothing to check), else converted to
// rows of durations, each checked.
std::vector<std::vector<Duration>> convert_travel(MatrixInput matrix, PackedMatrix& packed) {
  if (auto* given = std::get_if<PackedMatrix>(&matrix)) {
    packed = std::move(*given);
    return {};
  }
  auto& rows = std::get<IntegerRows>(matrix);
  if (auto packed_rows = pack_rows(rows)) {
    packed = std::move(*packed_rows);
    return {};
  }
  return convert_matrix(std::move(rows));
}

std::vector<Duration> convert_durations(std::vector<std::uint64_t> raw) {
  std::vector<Duration> durations;
  durations.reserve(raw.size());
  for (std::uint64_t value : raw) durations.push_back(duration_from_input(value));
  return durations;
}

std::vector<TimeWindows> convert_windows(RawWindows raw) {
  PolledSteps polled;
  std::vector<TimeWindows> per_location;
  per_location.reserve(raw.size());
  for (auto& raw_windows : raw) {
    TimeWindows& windows = per_location.emplace_back();
    windows.windows.reserve(raw_windows.size());
    for (auto [start, end] : raw_windows) {
      polled.step();
      const DateTime start_time = DateTime::from_unix_seconds(start);
      const DateTime end_time = DateTime::from_unix_seconds(end);
      windows.windows.push_back(TimeWindow::make(start_time, end_time));
    }
    raw_windows = {};
  }
  return per_location;
}

std::optional<OperationTimes> convert_operation_times(RawPair raw) {
  const auto [start, end] = raw;
  // Equal bounds or a span of exactly one day (modulo 2^64) mean "always open".
  if (start == end || end - start == TimeOfDay::kSecondsPerDay) return std::nullopt;
  const TimeOfDay daily_start = time_of_day_from_input(start);
  const TimeOfDay daily_end = time_of_day_from_input(end);
  return OperationTimes::make(daily_start, daily_end);
}

}  // namespace

std::optional<TimeScheduler> TimeScheduler::from_arguments(
    std::optional<MatrixInput> duration_matrix,
    std::optional<std::vector<std::uint64_t>> job_durations, std::optional<RawWindows> time_windows,
    std::optional<RawPair> operation_times) {
  std::optional<std::vector<std::vector<Duration>>> durations;
  PackedMatrix packed;
  if (duration_matrix) durations = convert_travel(std::move(*duration_matrix), packed);
  std::optional<std::vector<Duration>> jobs;
  if (job_durations) jobs = convert_durations(std::move(*job_durations));
  std::optional<std::vector<TimeWindows>> windows;
  if (time_windows) windows = convert_windows(std::move(*time_windows));
  std::optional<OperationTimes> hours;
  if (operation_times) hours = convert_operation_times(*operation_times);

  if (!durations || !jobs || !windows) return std::nullopt;
  return TimeScheduler{std::move(*durations), std::move(*jobs), std::move(*windows), hours,
                       std::move(packed)};
}

}  // namespace tourwright
