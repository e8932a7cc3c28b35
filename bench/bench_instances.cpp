#include "bench_instances.hpp"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <limits>
#include <numeric>
#include <random>
#include <sstream>
#include <stdexcept>
#include <utility>
#include <vector>

#include "time/date_time.hpp"

namespace tourwright::bench {

namespace {

struct Point {
  double x;
  double y;
};

DistanceMatrix planar(const std::vector<Point>& points, bool round_up) {
  const std::size_t n = points.size();
  DistanceMatrix matrix(n, std::vector<std::uint64_t>(n));
  for (std::size_t a = 0; a < n; ++a) {
    for (std::size_t b = 0; b < n; ++b) {
      const double d = std::hypot(points[a].x - points[b].x, points[a].y - points[b].y);
      matrix[a][b] = static_cast<std::uint64_t>(round_up ? std::ceil(d) : d + 0.5);
    }
  }
  return matrix;
}

std::ifstream open(const std::string& path) {
  std::ifstream file(path);
  if (!file) throw std::runtime_error("cannot read " + path);
  return file;
}

// Travel of one second per `units` distance units.
std::vector<std::vector<Duration>> travel_seconds(const DistanceTable& distances,
                                                  std::uint64_t units) {
  const std::size_t n = distances.size();
  std::vector<std::vector<Duration>> times(n);
  for (std::size_t a = 0; a < n; ++a) {
    for (std::size_t b = 0; b < n; ++b)
      times[a].push_back(
          Duration::from_seconds(static_cast<std::int64_t>(distances.leg(a, b) / units)));
  }
  return times;
}

}  // namespace

Penalizer tsplib_instance(const std::string& path) {
  std::ifstream file = open(path);
  std::string line;
  bool round_up = false;
  while (std::getline(file, line) && line.find("NODE_COORD_SECTION") == std::string::npos) {
    if (line.find("EDGE_WEIGHT_TYPE") != std::string::npos)
      round_up = line.find("CEIL_2D") != std::string::npos;
  }
  std::vector<Point> points;
  while (std::getline(file, line) && line.find("EOF") == std::string::npos) {
    std::istringstream fields(line);
    std::size_t id = 0;
    Point point{};
    if (fields >> id >> point.x >> point.y) points.push_back(point);
  }
  return Penalizer{planar(points, round_up), std::nullopt};
}

DistanceMatrix random_euclidean_rows(std::size_t n, std::uint64_t seed) {
  std::mt19937_64 random(seed);
  std::uniform_int_distribution<int> coordinate(0, 999'999);
  std::vector<Point> points(n);
  for (Point& point : points) point = {double(coordinate(random)), double(coordinate(random))};
  return planar(points, false);
}

Penalizer random_euclidean(std::size_t n, std::uint64_t seed) {
  return Penalizer{random_euclidean_rows(n, seed), std::nullopt};
}

Penalizer tsptw_instance(const std::string& path, bool hours) {
  constexpr std::int64_t kMinute = 60;
  constexpr std::int64_t kFirstWindow = 1'740'960'000 + 8 * 3'600;  // 2025-03-03T08:00:00Z
  std::ifstream file = open(path);
  std::size_t n = 0;
  file >> n;
  DistanceMatrix distances(n, std::vector<std::uint64_t>(n));
  TimeScheduler scheduler;
  scheduler.duration_matrix.assign(n, std::vector<Duration>(n));
  for (std::size_t a = 0; a < n; ++a) {
    for (std::size_t b = 0; b < n; ++b) {
      file >> distances[a][b];
      scheduler.duration_matrix[a][b] =
          Duration::from_seconds(static_cast<std::int64_t>(distances[a][b]) * kMinute);
    }
  }
  scheduler.job_durations.assign(n, Duration::from_seconds(kMinute));
  for (std::size_t a = 0; a < n; ++a) {
    std::int64_t open_at = 0;
    std::int64_t close_at = 0;
    file >> open_at >> close_at;
    const auto instant = [&](std::int64_t units) {
      return DateTime::from_unix_seconds(
          static_cast<std::uint64_t>(kFirstWindow + units * kMinute));
    };
    scheduler.time_windows.push_back(
        TimeWindows{{TimeWindow::make(instant(open_at), instant(close_at))}});
  }
  if (!file) throw std::runtime_error("malformed " + path);
  if (hours) {
    scheduler.operation_times =
        OperationTimes::make(TimeOfDay::from_seconds_since_midnight(8 * 3'600),
                             TimeOfDay::from_seconds_since_midnight(17 * 3'600));
  }
  return Penalizer{std::move(distances), std::move(scheduler)};
}

Penalizer open_window_instance(std::size_t n, std::uint64_t seed, std::int64_t last_end) {
  Penalizer penalizer = random_euclidean(n, seed);
  TimeScheduler scheduler;
  scheduler.duration_matrix = travel_seconds(penalizer.distance_matrix, 100);
  scheduler.job_durations.assign(n, Duration::from_seconds(15 * 60));
  const TimeWindow window =
      TimeWindow::make(DateTime::from_unix_seconds(1'735'689'600),  // 2025-01-01T00:00:00Z
                       DateTime::from_unix_seconds(static_cast<std::uint64_t>(last_end)));
  scheduler.time_windows.assign(n, TimeWindows{{window}});
  scheduler.operation_times =
      OperationTimes::make(TimeOfDay::from_seconds_since_midnight(8 * 3'600),
                           TimeOfDay::from_seconds_since_midnight(18 * 3'600));
  penalizer.time_scheduler = std::move(scheduler);
  return penalizer;
}

Penalizer crowded_window_instance(std::size_t n, std::uint64_t seed, std::size_t windows) {
  Penalizer penalizer = random_euclidean(n, seed);
  TimeScheduler scheduler;
  scheduler.duration_matrix = travel_seconds(penalizer.distance_matrix, 100);
  const DateTime day_one = DateTime::from_unix_seconds(1'735'689'600);  // 2025-01-01T00:00:00Z
  scheduler.job_durations.assign(n, Duration::from_seconds(60));
  scheduler.time_windows.assign(
      n, TimeWindows{{TimeWindow::make(day_one, day_one + Duration::from_seconds(10 * 86'400))}});
  // Instants two seconds apart, none of which can hold even a one-second job.
  scheduler.job_durations[n / 2] = Duration::from_seconds(1);
  TimeWindows& crowded = scheduler.time_windows[n / 2];
  crowded.windows.clear();
  for (std::size_t k = 0; k < windows; ++k) {
    const DateTime instant = day_one + Duration::from_seconds(static_cast<std::int64_t>(2 * k));
    crowded.windows.push_back(TimeWindow::make(instant, instant));
  }
  penalizer.time_scheduler = std::move(scheduler);
  return penalizer;
}

namespace {

// The jobs, travel and hours of the windowed instances; `windows_of(a)`
// gives each location's windows.
template <class WindowsOf>
Penalizer with_windows(std::size_t n, std::uint64_t seed, bool hours, std::mt19937_64& random,
                       WindowsOf windows_of) {
  Penalizer penalizer = random_euclidean(n, seed);
  TimeScheduler scheduler;
  scheduler.duration_matrix = travel_seconds(penalizer.distance_matrix, 1'000);
  for (std::size_t a = 0; a < n; ++a) {
    scheduler.job_durations.push_back(
        Duration::from_seconds(60 * std::uniform_int_distribution<std::int64_t>(15, 60)(random)));
    scheduler.time_windows.push_back(windows_of());
  }
  if (hours) {
    scheduler.operation_times =
        OperationTimes::make(TimeOfDay::from_seconds_since_midnight(8 * 3'600),
                             TimeOfDay::from_seconds_since_midnight(17 * 3'600));
  }
  penalizer.time_scheduler = std::move(scheduler);
  return penalizer;
}

// One window of 1-4 h a day on each of `days` (in order, from 2025-01-01),
// starting 08:00-15:00.
template <class Pick>
TimeWindows windows_on_days(const std::vector<std::int64_t>& days, Pick& pick) {
  const DateTime day_one = DateTime::from_unix_seconds(1'735'689'600);  // 2025-01-01T00:00:00Z
  TimeWindows windows;
  for (const std::int64_t day : days) {
    const DateTime start =
        day_one + Duration::from_seconds(day * 86'400 + pick(8 * 3'600, 15 * 3'600));
    windows.windows.push_back(
        TimeWindow::make(start, start + Duration::from_seconds(pick(3'600, 4 * 3'600))));
  }
  return windows;
}

}  // namespace

Penalizer windowed_instance(std::size_t n, std::uint64_t seed, bool hours) {
  std::mt19937_64 random(seed);
  const auto pick = [&](std::int64_t low, std::int64_t high) {
    return std::uniform_int_distribution<std::int64_t>(low, high)(random);
  };
  // About nine hours of work a day over the plan.
  const auto days = static_cast<std::int64_t>(n / 12 + 1);
  const DateTime day_one = DateTime::from_unix_seconds(1'735'689'600);  // 2025-01-01T00:00:00Z
  return with_windows(n, seed, hours, random, [&] {
    std::vector<DateTime> starts;
    for (std::int64_t w = pick(1, 5); w > 0; --w)
      starts.push_back(day_one + Duration::from_seconds(pick(0, days - 1) * 86'400 +
                                                        pick(8 * 3'600, 15 * 3'600)));
    std::sort(starts.begin(), starts.end());
    TimeWindows windows;
    for (const DateTime start : starts) {
      DateTime end = start + Duration::from_seconds(pick(3'600, 4 * 3'600));
      if (!windows.windows.empty() && windows.windows.back().end > start) continue;  // overlap
      windows.windows.push_back(TimeWindow::make(start, end));
    }
    return windows;
  });
}

Penalizer several_windows_instance(std::size_t n, std::uint64_t seed, bool hours) {
  std::mt19937_64 random(seed);
  const auto pick = [&](std::int64_t low, std::int64_t high) {
    return std::uniform_int_distribution<std::int64_t>(low, high)(random);
  };
  const auto days = static_cast<std::int64_t>(n / 12 + 4);
  return with_windows(n, seed, hours, random, [&] {
    std::vector<std::int64_t> plan(static_cast<std::size_t>(days));
    std::iota(plan.begin(), plan.end(), std::int64_t{0});
    std::shuffle(plan.begin(), plan.end(), random);
    std::vector<std::int64_t> chosen(plan.begin(), plan.begin() + pick(2, 4));
    std::sort(chosen.begin(), chosen.end());
    return windows_on_days(chosen, pick);
  });
}

Penalizer scale_instance(std::size_t n, std::uint64_t seed, std::int64_t most_windows, bool hours) {
  std::mt19937_64 random(seed);
  const auto pick = [&](std::int64_t low, std::int64_t high) {
    return std::uniform_int_distribution<std::int64_t>(low, high)(random);
  };
  const auto days = static_cast<std::int64_t>(n / 12 + 1);
  return with_windows(n, seed, hours, random, [&] {
    std::vector<std::int64_t> chosen;
    for (std::int64_t w = pick(1, most_windows); w > 0; --w) chosen.push_back(pick(0, days - 1));
    std::sort(chosen.begin(), chosen.end());
    chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
    return windows_on_days(chosen, pick);
  });
}

Penalizer nearest_neighbour_window_instance(std::size_t n, std::uint64_t seed, std::int64_t width) {
  constexpr std::int64_t kMinute = 60;
  constexpr std::int64_t kFirstWindow = 1'740'960'000 + 8 * 3'600;  // 2025-03-03T08:00:00Z
  std::mt19937_64 random(seed);
  std::uniform_int_distribution<int> coordinate(0, 100);
  std::vector<Point> points(n);
  for (Point& point : points) point = {double(coordinate(random)), double(coordinate(random))};
  DistanceMatrix distances = planar(points, false);
  TimeScheduler scheduler;
  for (const auto& row : distances) {
    scheduler.duration_matrix.emplace_back();
    for (const std::uint64_t units : row)
      scheduler.duration_matrix.back().push_back(
          Duration::from_seconds(static_cast<std::int64_t>(units) * kMinute));
  }
  scheduler.job_durations.assign(n, Duration::from_seconds(kMinute));
  // The nearest-neighbour tour's arrivals, in minutes.
  std::vector<std::int64_t> arrival(n, 0);
  std::vector<bool> visited(n, false);
  visited[0] = true;
  std::size_t at = 0;
  std::int64_t clock = 1;  // after the job at 0
  for (std::size_t step = 1; step < n; ++step) {
    std::size_t next = n;
    for (std::size_t b = 0; b < n; ++b) {
      if (!visited[b] && (next == n || distances[at][b] < distances[at][next])) next = b;
    }
    clock += static_cast<std::int64_t>(distances[at][next]);
    arrival[next] = clock;
    clock += 1;
    visited[next] = true;
    at = next;
  }
  const auto instant = [](std::int64_t minutes) {
    return DateTime::from_unix_seconds(
        static_cast<std::uint64_t>(kFirstWindow + minutes * kMinute));
  };
  for (std::size_t a = 0; a < n; ++a) {
    const std::int64_t open = a == 0 ? 0 : std::max<std::int64_t>(0, arrival[a] - width);
    const std::int64_t close =
        a == 0 ? clock + static_cast<std::int64_t>(distances[at][0]) + width : arrival[a] + width;
    scheduler.time_windows.push_back(
        TimeWindows{{TimeWindow::make(instant(open), instant(close))}});
  }
  return Penalizer{std::move(distances), std::move(scheduler)};
}

Penalizer with_packed_durations(Penalizer penalizer) {
  if (!penalizer.time_scheduler) return penalizer;
  TimeScheduler& scheduler = *penalizer.time_scheduler;
  IntegerRows rows;
  rows.reserve(scheduler.duration_matrix.size());
  for (const auto& row : scheduler.duration_matrix) {
    auto& seconds = rows.emplace_back();
    seconds.reserve(row.size());
    for (const Duration leg : row) {
      if (leg < Duration::zero() || leg != Duration::from_seconds(leg.seconds())) return penalizer;
      seconds.push_back(static_cast<std::uint64_t>(leg.seconds()));
    }
  }
  if (auto packed = pack_rows(rows)) {
    scheduler.packed_durations = std::move(*packed);
    scheduler.duration_matrix.clear();
  }
  return penalizer;
}

Penalizer shifted_by_days(Penalizer penalizer, std::int64_t days) {
  const Duration shift = Duration::from_seconds(days * 86'400);
  for (TimeWindows& windows : penalizer.time_scheduler->time_windows) {
    for (TimeWindow& window : windows.windows) window = {window.start + shift, window.end + shift};
  }
  return penalizer;
}

Penalizer in_milliseconds(Penalizer penalizer) {
  TimeScheduler& scheduler = *penalizer.time_scheduler;
  const auto thousandfold = [](Duration d) { return Duration::from_seconds(d.seconds() * 1'000); };
  const auto instant = [](DateTime t) {
    return DateTime::from_unix_seconds(static_cast<std::uint64_t>(t.unix_seconds() * 1'000));
  };
  for (auto& row : scheduler.duration_matrix) {
    for (Duration& leg : row) leg = thousandfold(leg);
  }
  for (Duration& job : scheduler.job_durations) job = thousandfold(job);
  for (TimeWindows& windows : scheduler.time_windows) {
    for (TimeWindow& window : windows.windows)
      window = {instant(window.start), instant(window.end)};
  }
  scheduler.operation_times.reset();
  return penalizer;
}

std::int64_t first_window_day(const Penalizer& penalizer) {
  std::int64_t earliest = std::numeric_limits<std::int64_t>::max();
  for (const TimeWindows& windows : penalizer.time_scheduler->time_windows) {
    for (const TimeWindow& window : windows.windows)
      earliest = std::min(earliest, window.start.unix_seconds());
  }
  return earliest / 86'400;
}

Penalizer long_job_instance(std::size_t n, std::uint64_t seed, std::int64_t open_seconds,
                            std::int64_t most_days) {
  Penalizer penalizer = random_euclidean(n, seed);
  std::mt19937_64 random(seed);
  const auto pick = [&](std::int64_t low, std::int64_t high) {
    return std::uniform_int_distribution<std::int64_t>(low, high)(random);
  };
  TimeScheduler scheduler;
  // The longest leg of the square is about 1.4 × 10^6 units.
  const auto units = static_cast<std::uint64_t>(std::max<std::int64_t>(
      1, 1'400'000 / std::max<std::int64_t>(1, open_seconds * most_days / 4)));
  scheduler.duration_matrix = travel_seconds(penalizer.distance_matrix, units);
  // Jobs average half the most, drives an eighth (or less): that many days each.
  const auto plan = static_cast<std::int64_t>(n) * (most_days / 2 + most_days / 8 + 2);
  const DateTime day_one = DateTime::from_unix_seconds(1'735'689'600);  // 2025-01-01T00:00:00Z
  for (std::size_t a = 0; a < n; ++a) {
    scheduler.job_durations.push_back(Duration::from_seconds(open_seconds * pick(1, most_days)));
    std::vector<std::int64_t> starts;
    for (std::int64_t w = pick(1, 3); w > 0; --w) starts.push_back(pick(0, plan - 1));
    std::sort(starts.begin(), starts.end());
    TimeWindows windows;
    for (const std::int64_t start : starts) {
      const DateTime begin = day_one + Duration::from_seconds(start * 86'400);
      const DateTime end = begin + Duration::from_seconds(pick(plan / 10, plan / 2) * 86'400);
      if (!windows.windows.empty() && windows.windows.back().end > begin) continue;  // overlap
      windows.windows.push_back(TimeWindow::make(begin, end));
    }
    scheduler.time_windows.push_back(std::move(windows));
  }
  scheduler.operation_times =
      OperationTimes::make(TimeOfDay::from_seconds_since_midnight(9 * 3'600),
                           TimeOfDay::from_seconds_since_midnight(9 * 3'600 + open_seconds));
  penalizer.time_scheduler = std::move(scheduler);
  return penalizer;
}

}  // namespace tourwright::bench
