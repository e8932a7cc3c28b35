#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "penalizer.hpp"

namespace tourwright::bench {

// A TSPLIB file with EDGE_WEIGHT_TYPE EUC_2D (rounded to nearest) or CEIL_2D
// (rounded up); distance only.
Penalizer tsplib_instance(const std::string& path);

// n points drawn uniformly from a 10^6 × 10^6 square, EUC_2D distances.
Penalizer random_euclidean(std::size_t n, std::uint64_t seed);
// The same distances as the caller's rows.
DistanceMatrix random_euclidean_rows(std::size_t n, std::uint64_t seed);

// A TSPTW benchmark in the "N, N×N matrix, N windows" layout. A time unit
// becomes a minute: travel takes the matrix value in minutes, every job one
// minute, and the windows start at 2025-03-03T08:00:00Z. With `hours`, work
// and travel happen only 08:00–17:00 UTC.
Penalizer tsptw_instance(const std::string& path, bool hours);

// n random points as above, travel one second per 100 distance units, jobs of
// 15 minutes, work and travel only 08:00–18:00 UTC, and one window per
// location from 2025-01-01 until `last_end` (Unix seconds): with a far end,
// a deadline that never bites.
Penalizer open_window_instance(std::size_t n, std::uint64_t seed, std::int64_t last_end);

// Random Euclidean, travel as above, one-minute jobs in a ten-day window,
// except one location: `windows` zero-length windows two seconds apart and a
// one-second job, so every push-back there crosses all of them.
Penalizer crowded_window_instance(std::size_t n, std::uint64_t seed, std::size_t windows);

// n random points as above, travel one second per 1,000 distance units (up to
// about 23 minutes), jobs of 15–60 minutes, one to five windows per location
// (1–4 hours, starting 08:00–15:00 on a day of a plan of n/12 + 1 days from
// 2025-01-01, overlapping ones dropped), with `hours`: work and travel only
// 08:00–17:00 UTC.
Penalizer windowed_instance(std::size_t n, std::uint64_t seed, bool hours);
// The same jobs, travel and hours, and two to four windows per location, on
// distinct days of a plan of n/12 + 4 days.
Penalizer several_windows_instance(std::size_t n, std::uint64_t seed, bool hours);

// Points in a square, 1..`most_windows` windows per location (one to four
// hours from 08:00-15:00, on distinct days over about nine hours of work a
// day), jobs of 15-60 min, optionally 08:00-17:00 hours: the instances the
// scale table grows from 200 to 2000 locations.
Penalizer scale_instance(std::size_t n, std::uint64_t seed, std::int64_t most_windows, bool hours);

// Like the classic TSPTW sets, at any size: points in a 100 × 100 square,
// travel of one minute a unit, jobs of one minute, and windows of ±`width`
// minutes around the arrivals of a nearest-neighbour tour from location 0
// (whose own window spans the tour), so a tour without lateness exists.
Penalizer nearest_neighbour_window_instance(std::size_t n, std::uint64_t seed, std::int64_t width);

// The travel durations kept as solve keeps them where it can (whole seconds
// that fit 32 bits, from a Python caller: one packed table of 4 bytes a
// leg), so that the benches read the table users' searches read.
Penalizer with_packed_durations(Penalizer penalizer);

// The same instance with every window `days` later (the times of day stay).
Penalizer shifted_by_days(Penalizer penalizer, std::int64_t days);
// The same instance as if written in Unix milliseconds but read as seconds:
// every instant, travel and job a thousand times its value; no hours.
Penalizer in_milliseconds(Penalizer penalizer);
// Whole days from the Unix epoch to the earliest window start.
std::int64_t first_window_day(const Penalizer& penalizer);

// Long jobs under short hours: open `open_seconds` a day from 09:00 UTC, jobs
// of 1 to `most_days` days' opening and drives of up to a quarter of that (one
// distance unit per second, scaled), so each action is up to that many pieces.
// One to three windows per location, each a tenth to a half of the plan long,
// in order, somewhere in the plan from 2025-01-01.
Penalizer long_job_instance(std::size_t n, std::uint64_t seed, std::int64_t open_seconds,
                            std::int64_t most_days);

}  // namespace tourwright::bench
