#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "penalizer.hpp"
#include "time/date_time.hpp"
#include "time/duration.hpp"

namespace tourwright::testing {

// What to break in an otherwise complete instance.
enum class Damage {
  none,
  short_distance_row,
  short_duration_row,
  short_jobs,
  short_windows,
  no_windows
};

// How to draw a random instance; times are whole seconds unless `subsecond`.
struct Recipe {
  std::string name;
  std::size_t min_n = 1;
  std::size_t max_n = 12;
  bool symmetric = true;
  std::uint64_t min_distance = 0;
  std::uint64_t max_distance = 100;
  bool timed = false;
  std::int64_t max_travel = 3'600;
  std::int64_t max_job = 3'600;
  std::size_t max_windows = 3;
  std::int64_t max_width = 4 * 3'600;                          // of a window
  std::int64_t max_gap = 4 * 3'600;                            // before each window
  std::optional<std::pair<std::int64_t, std::int64_t>> hours;  // seconds since midnight
  std::int64_t first_day = 19'723LL * 86'400;                  // 2024-01-01
  bool unsorted_windows = false;
  std::optional<std::int64_t> last_end;  // Unix seconds: every last window ends here instead
  bool subsecond = false;
  // Travel as the input conversion stores whole seconds that fit 32 bits:
  // packed into one table (needs whole seconds).
  bool packed_durations = false;
  Damage damage = Damage::none;
};

class InstanceMaker {
 public:
  explicit InstanceMaker(std::uint64_t seed) : random_(seed) {}

  Penalizer make(const Recipe& recipe) {
    const std::size_t n = pick(recipe.min_n, recipe.max_n);
    DistanceMatrix distances(n, std::vector<std::uint64_t>(n));
    for (std::size_t a = 0; a < n; ++a) {
      for (std::size_t b = 0; b < n; ++b) {
        distances[a][b] = (recipe.symmetric && b < a)
                              ? distances[b][a]
                              : pick<std::uint64_t>(recipe.min_distance, recipe.max_distance);
      }
    }
    std::optional<TimeScheduler> scheduler;
    if (recipe.timed) scheduler = schedule(recipe, n);
    damage(recipe.damage, distances, scheduler);
    return Penalizer{std::move(distances), std::move(scheduler)};
  }

 private:
  template <class Integer = std::size_t>
  Integer pick(Integer low, Integer high) {
    return std::uniform_int_distribution<Integer>(low, high)(random_);
  }

  Duration span(std::int64_t max_seconds, bool subsecond) {
    const std::int64_t whole = pick<std::int64_t>(0, max_seconds);
    if (!subsecond) return Duration::from_seconds(whole);
    return Duration::from_seconds(whole) +
           Duration::from_nanoseconds(pick<std::int64_t>(0, 999'999'999));
  }

  TimeScheduler schedule(const Recipe& recipe, std::size_t n) {
    TimeScheduler scheduler;
    scheduler.duration_matrix.assign(n, std::vector<Duration>(n));
    for (std::size_t a = 0; a < n; ++a) {
      for (std::size_t b = 0; b < n; ++b) {
        scheduler.duration_matrix[a][b] = (recipe.symmetric && b < a)
                                              ? scheduler.duration_matrix[b][a]
                                              : span(recipe.max_travel, recipe.subsecond);
      }
    }
    for (std::size_t location = 0; location < n; ++location) {
      // Some jobs take no time at all.
      scheduler.job_durations.push_back(pick(0, 4) == 0 ? Duration::zero()
                                                        : span(recipe.max_job, recipe.subsecond));
      TimeWindows windows;
      DateTime start = DateTime::unix_epoch() + Duration::from_seconds(recipe.first_day);
      for (std::size_t w = pick<std::size_t>(1, recipe.max_windows); w > 0; --w) {
        start += span(recipe.max_gap, recipe.subsecond);
        const DateTime end = start + span(recipe.max_width, recipe.subsecond);
        windows.windows.push_back(TimeWindow::make(start, end));
        start = end;
      }
      if (recipe.last_end) {
        windows.windows.back().end =
            DateTime::unix_epoch() + Duration::from_seconds(*recipe.last_end);
      }
      if (recipe.unsorted_windows)
        std::shuffle(windows.windows.begin(), windows.windows.end(), random_);
      scheduler.time_windows.push_back(std::move(windows));
    }
    if (recipe.packed_durations) {
      IntegerRows seconds;
      for (const auto& row : scheduler.duration_matrix) {
        std::vector<std::uint64_t>& packed_row = seconds.emplace_back();
        for (const Duration leg : row)
          packed_row.push_back(static_cast<std::uint64_t>(leg.seconds()));
      }
      if (auto packed = pack_rows(seconds)) {
        scheduler.packed_durations = std::move(*packed);
        scheduler.duration_matrix.clear();
      }
    }
    if (recipe.hours) {
      scheduler.operation_times =
          OperationTimes::make(TimeOfDay::from_seconds_since_midnight(recipe.hours->first),
                               TimeOfDay::from_seconds_since_midnight(recipe.hours->second));
    }
    return scheduler;
  }

  void damage(Damage what, DistanceMatrix& distances, std::optional<TimeScheduler>& scheduler) {
    const std::size_t n = distances.size();
    if (what == Damage::none || n == 0) return;
    const std::size_t victim = pick<std::size_t>(0, n - 1);
    switch (what) {
      case Damage::short_distance_row:
        distances[victim].pop_back();
        break;
      case Damage::short_duration_row:
        scheduler->duration_matrix[victim].pop_back();
        break;
      case Damage::short_jobs:
        scheduler->job_durations.pop_back();
        break;
      case Damage::short_windows:
        scheduler->time_windows.pop_back();
        break;
      case Damage::no_windows:
        scheduler->time_windows[victim].windows.clear();
        break;
      case Damage::none:
        break;
    }
  }

  std::mt19937_64 random_;
};

}  // namespace tourwright::testing
