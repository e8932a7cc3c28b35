#include "fast/fast_eligibility.hpp"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "fast/schedule/nanos.hpp"
#include "interrupt.hpp"
#include "time/date_time.hpp"
#include "time/duration.hpp"

namespace tourwright {

namespace {

// Every bound below is an exact nanosecond count (WideNanos), kept within 128
// bits by the early exits.

// An action of zero or negative length takes no time at all.
WideNanos length(Duration d) { return std::max<WideNanos>(wide_nanos_of(d), 0); }

bool complete(const TimeScheduler& scheduler, std::size_t n) {
  if (!scheduler.durations_square(n)) return false;
  if (scheduler.job_durations.size() < n || scheduler.time_windows.size() < n) return false;
  return std::all_of(scheduler.time_windows.begin(),
                     scheduler.time_windows.begin() + static_cast<std::ptrdiff_t>(n),
                     [](const TimeWindows& windows) { return !windows.windows.empty(); });
}

// The earliest and latest window starts and the latest window end of
// locations 0..n−1, each of which lists at least one window (complete).
struct WindowExtent {
  DateTime earliest_start;
  WideNanos latest_start;
  WideNanos latest_end;
};

WindowExtent window_extent(const TimeScheduler& scheduler, std::size_t n) {
  WindowExtent extent{scheduler.time_windows[0].windows[0].start, wide_nanos_of(DateTime::min()),
                      wide_nanos_of(DateTime::min())};
  PolledSteps polled;
  for (std::size_t location = 0; location < n; ++location) {
    for (const TimeWindow& window : scheduler.time_windows[location].windows) {
      polled.step();
      extent.earliest_start = std::min(extent.earliest_start, window.start);
      extent.latest_start = std::max(extent.latest_start, wide_nanos_of(window.start));
      extent.latest_end = std::max(extent.latest_end, wide_nanos_of(window.end));
    }
  }
  return extent;
}

// An upper bound on every clock value any route's schedule can reach, as a
// bound L on where window waits and push-backs can move the clock, plus, for
// each action of length R:
// - window waits and push-backs only ever move the clock to a window start
//   or to an end inside a window, so never beyond max(clock, L), with L the
//   largest window end G; and in a list in any order they stop once past
//   the latest start S: a wait moves the clock to a start, a push-back from
//   a clock not past S lands at the later of a start and the clock plus R,
//   and past S every lookup finds the window listed last (the binary search
//   then ends there) or nothing, so nothing is pushed back any more. Hence
//   L = min(G, S + all work);
// - after the last such move, the action's pieces add R, and with operating
//   hours each overnight wait adds under a day: at most 2 + R / (hours open
//   per day) of them, since every piece after such a wait starts at opening;
// - the end looked up before a push-back may lie R beyond the clock.
// The days: an action waits for opening (each time under a day) once after
// the last window move that leaves the clock at or before L (earlier waits
// and moves stay at or before L + a day, which the next move or this wait
// covers), once more before its first piece, and once before each later
// piece: every later piece but the last works a whole opening, so there are
// at most 1 + R / open of them. That is 3 + R / open days per action, and
// 6n + A / open over the 2n actions; the six days more are a margin that only
// loosens the bound.
// Summed over the 2n actions (travel bounded by each row's longest leg):
// L + 2·A + (A / open + 6n + 6) days, with A all work plus all longest legs.
// Nothing when that passes the last instant.
std::optional<WideNanos> clock_bound(const TimeScheduler& scheduler, std::size_t n,
                                     const WindowExtent& extent) {
  const WideNanos max_clock = wide_nanos_of(DateTime::max());
  const WideNanos max_span = wide_nanos_of(Duration::max());

  WideNanos actions = 0;
  for (std::size_t location = 0; location < n; ++location) {
    poll_interrupt();  // a row at a time
    actions += length(scheduler.job_durations[location]);
    WideNanos longest = 0;
    for (std::size_t to = 0; to < n; ++to)
      longest = std::max(longest, length(scheduler.travel_duration(location, to)));
    actions += longest;
    if (actions > max_span) return std::nullopt;
  }

  const WideNanos landing = std::min(extent.latest_end, extent.latest_start + actions);

  WideNanos days = 0;
  if (const auto& hours = scheduler.operation_times) {
    const WideNanos open = wide_nanos_of(hours->daily_end - hours->daily_start);
    if (actions / open > max_clock / kNanosPerDay)
      return std::nullopt;  // keeps the product below in 128 bits
    days = actions / open + 6 * static_cast<WideNanos>(n) + 6;
  }
  const WideNanos latest_clock = landing + 2 * actions + days * kNanosPerDay;
  if (latest_clock > max_clock) return std::nullopt;
  return latest_clock;
}

// Ends from `ceiling` on are read as it, so two windows of one list with the
// same start would look the same even where their ends differ. No list in
// order has such a pair: a window before another with its start has no length.
bool far_ends_tell_apart(const TimeScheduler& scheduler, std::size_t n, WideNanos ceiling) {
  std::vector<std::pair<WideNanos, WideNanos>> far;  // start, end
  PolledSteps polled;
  for (std::size_t location = 0; location < n; ++location) {
    far.clear();
    for (const TimeWindow& window : scheduler.time_windows[location].windows) {
      polled.step();
      if (wide_nanos_of(window.end) >= ceiling)
        far.emplace_back(wide_nanos_of(window.start), wide_nanos_of(window.end));
    }
    std::sort(far.begin(), far.end());
    for (std::size_t k = 1; k < far.size(); ++k) {
      if (far[k].first == far[k - 1].first && far[k].second != far[k - 1].second) return false;
    }
  }
  return true;
}

// The clock bound, relative to `origin`, when no schedule can overflow.
// Window ends past it are read as it (no clock passes it).
std::optional<Nanos> overflow_free_bound(const TimeScheduler& scheduler, std::size_t n,
                                         const WindowExtent& extent, InstantOrigin origin) {
  const auto latest_clock = clock_bound(scheduler, n, extent);
  if (!latest_clock) return std::nullopt;
  if (!far_ends_tell_apart(scheduler, n, *latest_clock)) return std::nullopt;
  // No clock, window start or end lies before the earliest start: every
  // window ends no sooner than it starts.
  const WideNanos lowest = wide_nanos_of(extent.earliest_start);
  // The fast path counts clocks from the origin and spans in signed 64-bit
  // nanoseconds (292 years); lateness, summed over jobs, in 128 bits. The
  // origin is on or before every start and so every end.
  constexpr WideNanos kMax64 = std::numeric_limits<std::int64_t>::max();
  const WideNanos from_origin =
      *latest_clock - WideNanos{origin.unix_seconds} * Duration::kNanosPerSecond;
  if (from_origin > kMax64 || *latest_clock - lowest > kMax64) return std::nullopt;
  // Every total, wait and difference of clocks spans at most latest − lowest;
  // lateness adds one such span per job, and so does a shift of n jobs.
  if (static_cast<WideNanos>(n + 1) * (*latest_clock - lowest) > wide_nanos_of(Duration::max()))
    return std::nullopt;
  return static_cast<Nanos>(from_origin);
}

}  // namespace

FastEligibility fast_eligibility(const Penalizer& penalizer, std::size_t route_size) {
  const std::size_t n = penalizer.distance_matrix.size();
  if (route_size != n || !penalizer.distance_matrix.square(n)) return {};
  if (!penalizer.time_scheduler) return {true, 0, {}};
  const TimeScheduler& scheduler = *penalizer.time_scheduler;
  if (n == 0 || !complete(scheduler, n)) return {};
  const WindowExtent extent = window_extent(scheduler, n);
  const InstantOrigin origin = InstantOrigin::on_or_before(extent.earliest_start.unix_seconds());
  const auto ceiling = overflow_free_bound(scheduler, n, extent, origin);
  if (!ceiling) return {};
  return {true, *ceiling, origin};
}

}  // namespace tourwright
