#include "fuzz_case.hpp"

#include <algorithm>
#include <limits>
#include <optional>
#include <utility>
#include <variant>
#include <vector>

#include "byte_reader.hpp"
#include "time/date_time.hpp"
#include "time/duration.hpp"

namespace tourwright::fuzzing {

namespace {

constexpr std::size_t kMaxLocations = 7;
constexpr std::uint64_t kU64Max = std::numeric_limits<std::uint64_t>::max();
constexpr std::uint64_t k2Pow63 = std::uint64_t{1} << 63;
constexpr std::uint64_t kMaxSeconds = Duration::kMaxWholeSeconds;
constexpr std::uint64_t kMaxInstant = DateTime::kMaxUnixSeconds;
constexpr std::uint64_t kDay = 86'400;
constexpr std::uint64_t kBaseInstant = 19'723 * kDay;  // 2024-01-01T00:00:00Z
// Opening-time multiples allowed per duration under operating hours. The
// fast search takes such runs of days at once; the literal reference still
// walks them day by day, so this bounds the fuzzer's time per case.
constexpr std::uint64_t kMaxOpeningsPerAction = 64;

std::uint64_t distance_value(ByteReader& in) {
  switch (in.byte() % 4) {
    case 0:
      return in.byte();
    case 1:
      return in.u16();
    case 2:
      return in.one_of({0, 1, k2Pow63, kU64Max - 1, kU64Max});
    default:
      return in.u64();
  }
}

// Seconds of work or travel: mostly plausible, sometimes at or past a bound.
std::uint64_t seconds_value(ByteReader& in) {
  switch (in.byte() % 5) {
    case 0:
      return in.byte();
    case 1:
      return std::uint64_t{in.byte()} * 900;
    case 2:
      return std::uint64_t{in.u16()} * 60;
    case 3:
      return in.one_of({kMaxSeconds, kMaxSeconds + 1, kMaxInstant, k2Pow63 - 1, k2Pow63,
                        kU64Max - kMaxSeconds, kU64Max});
    default:
      return in.u64();
  }
}

// A Unix time near `base`, near the end of the date range, or anything.
std::uint64_t instant_value(ByteReader& in, std::uint64_t base) {
  switch (in.byte() % 4) {
    case 0:
      return base + std::uint64_t{in.byte()} * 1800;
    case 1:
      return base + std::uint64_t{in.u16()} * 60;
    case 2:
      return in.one_of({0, kMaxInstant - std::uint64_t{in.byte()} * 3600, kMaxInstant,
                        kMaxInstant + 1, k2Pow63, kU64Max});
    default:
      return in.u64();
  }
}

std::vector<RawPair> windows_of_one_location(ByteReader& in, std::uint64_t& cursor) {
  const std::uint8_t shape = in.byte();
  const std::size_t count = shape % 8 == 0 ? 0 : 1 + shape % 3;
  const bool in_order = (shape & 0x10) == 0;
  std::vector<RawPair> windows;
  for (std::size_t k = 0; k < count; ++k) {
    if (in_order) {
      // Sorted and disjoint, as callers are asked to give them.
      const std::uint64_t start = cursor + std::uint64_t{in.byte()} * 1800;
      const std::uint64_t end = start + std::uint64_t{in.byte()} * 900;
      windows.emplace_back(start, end);
      cursor = end;
    } else {
      // Unsorted, overlapping, reversed or out of range.
      const std::uint64_t start = instant_value(in, cursor);
      const std::uint64_t end =
          in.flag() ? start + std::uint64_t{in.byte()} * 900 : instant_value(in, cursor);
      windows.emplace_back(start, end);
    }
  }
  return windows;
}

RawPair operating_hours(ByteReader& in) {
  const std::uint64_t start = std::uint64_t{in.byte()} * 600;
  switch (in.byte() % 5) {
    case 0:
      return {start, start + 1 + std::uint64_t{in.byte()} * 300};
    case 1:
      return {start, start};
    case 2:
      return {start, start + kDay};
    case 3:
      return {in.u64(), in.u64()};
    default:
      return {in.one_of({0, kDay, kMaxSeconds, kMaxSeconds + 1, kU64Max}),
              in.one_of({1, kDay - 1, 2 * kDay, kMaxSeconds + 1, kU64Max})};
  }
}

// How long the hours are open per day, when they convert to hours at all.
std::optional<std::uint64_t> open_seconds_per_day(const RawPair& hours) {
  const auto [start, end] = hours;
  if (start == end || end - start == kDay) return std::nullopt;
  if (start > kMaxSeconds || end > kMaxSeconds) return std::nullopt;
  const std::uint64_t open = start % kDay;
  const std::uint64_t close = end % kDay;
  if (open >= close) return std::nullopt;
  return close - open;
}

// Keeps every action to a few pieces (see decode_case); values the
// conversion refuses stay as they are.
void cap_durations(FuzzCase& fuzz_case) {
  const auto& hours = fuzz_case.input.operation_times;
  if (!hours) return;
  const std::optional<std::uint64_t> open = open_seconds_per_day(*hours);
  if (!open) return;
  const std::uint64_t cap = *open * kMaxOpeningsPerAction;
  auto cap_one = [cap](std::uint64_t& value) {
    if (value <= kMaxSeconds) value = std::min(value, cap);
  };
  if (fuzz_case.input.job_durations) {
    for (std::uint64_t& value : *fuzz_case.input.job_durations) cap_one(value);
  }
  if (fuzz_case.input.duration_matrix) {
    for (auto& row : std::get<IntegerRows>(*fuzz_case.input.duration_matrix)) {
      for (std::uint64_t& value : row) cap_one(value);
    }
  }
}

// n rows; a ragged shape (rows shorter or longer than n) now and then.
template <class Value>
std::vector<std::vector<std::uint64_t>> matrix(ByteReader& in, std::size_t n, Value value) {
  const bool ragged = in.byte() % 4 == 0;
  std::vector<std::vector<std::uint64_t>> rows(ragged ? in.byte() % (n + 2) : n);
  for (auto& row : rows) {
    row.resize(ragged ? in.byte() % (n + 2) : n);
    for (std::uint64_t& entry : row) entry = value(in);
  }
  return rows;
}

Route route_value(ByteReader& in, std::size_t n) {
  Route route;
  switch (in.byte() % 4) {
    case 0:
      return route;  // empty
    case 1: {
      route.resize(in.byte() % (kMaxLocations + 2));
      for (std::size_t& location : route) location = in.byte() % (n + 2);
      return route;
    }
    default: {
      route.resize(n);
      for (std::size_t k = 0; k < n; ++k) route[k] = k;
      for (std::size_t k = n; k-- > 1;) std::swap(route[k], route[in.byte() % (k + 1)]);
      return route;
    }
  }
}

}  // namespace

FuzzCase decode_case(std::span<const std::uint8_t> bytes) {
  ByteReader in(bytes);
  FuzzCase fuzz_case;
  SolveInput& input = fuzz_case.input;
  const std::size_t n = in.byte() % (kMaxLocations + 1);
  input.distance_matrix = matrix(in, n, distance_value);

  // Mostly all three time arguments (the scheduling path); otherwise any subset.
  const std::uint8_t given = in.byte();
  const bool all_time_data = given % 4 != 0;
  if (all_time_data || (given & 0x10) != 0) input.duration_matrix = matrix(in, n, seconds_value);
  if (all_time_data || (given & 0x20) != 0) {
    auto& jobs = input.job_durations.emplace(in.byte() % 4 == 0 ? in.byte() % (n + 2) : n);
    for (std::uint64_t& job : jobs) job = seconds_value(in);
  }
  if (all_time_data || (given & 0x40) != 0) {
    auto& windows = input.time_windows.emplace(in.byte() % 4 == 0 ? in.byte() % (n + 2) : n);
    std::uint64_t cursor = kBaseInstant;
    for (auto& location : windows) location = windows_of_one_location(in, cursor);
  }
  if ((given & 0x80) != 0) input.operation_times = operating_hours(in);

  switch (in.byte() % 4) {
    case 1:
      input.time_limit = 0;
      break;
    case 2:
      input.time_limit = in.one_of({kMaxSeconds + 1, k2Pow63, kU64Max});
      break;
    default:
      break;  // no limit: one descent
  }
  fuzz_case.route = route_value(in, n);
  fuzz_case.interrupt_on_poll = in.byte() % 8 == 0 ? 1 + in.byte() % 6 : 0;
  cap_durations(fuzz_case);
  return fuzz_case;
}

}  // namespace tourwright::fuzzing
