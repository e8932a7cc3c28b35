#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <random>
#include <vector>

#include "fast/schedule/hinge_sum.hpp"
#include "fast/schedule/schedule_clock.hpp"
#include "fast/schedule/suffix_hinge.hpp"
#include "test_support.hpp"

namespace tourwright {
namespace {

using testing::at;
using testing::hours;

constexpr Nanos kSecond = Duration::kNanosPerSecond;
constexpr Nanos kHour = 3'600 * kSecond;

WideNanos hinge_sum(const std::vector<std::optional<WideNanos>>& keys, std::size_t p, WideNanos t) {
  WideNanos sum = 0;
  for (std::size_t q = p; q < keys.size(); ++q) {
    if (keys[q] && t > *keys[q]) sum += t - *keys[q];
  }
  return sum;
}

// Uniform integers from [low, high], from one seeded generator.
class Draw {
 public:
  explicit Draw(std::uint64_t seed) : random_(seed) {}
  std::int64_t operator()(std::int64_t low, std::int64_t high) {
    return std::uniform_int_distribution<std::int64_t>(low, high)(random_);
  }

 private:
  std::mt19937_64 random_;
};

// The tangent never passes the sum it bounds, and touches it at its origin.
TEST(SuffixHingeTest, BoundsTheSumOfHingesAndTouchesItAtTheOrigin) {
  Draw pick(7);
  for (int round = 0; round < 200; ++round) {
    const auto n = static_cast<std::size_t>(pick(1, 12));
    std::vector<std::optional<WideNanos>> keys(n);
    std::vector<WideNanos> origins(n);
    for (std::size_t q = 0; q < n; ++q) {
      if (pick(0, 3) > 0) keys[q] = pick(-20, 20);  // ties and missing keys too
      origins[q] = pick(-25, 25);
    }
    std::sort(origins.begin(), origins.end());  // as along a route
    SuffixHinge hinge;
    hinge.rebuild(keys, origins);
    for (std::size_t p = 0; p < n; ++p) {
      SCOPED_TRACE(::testing::Message() << "round " << round << ", p " << p);
      EXPECT_EQ(hinge.bound(p, origins[p]), hinge_sum(keys, p, origins[p]));
      for (WideNanos t = -30; t <= 30; ++t) EXPECT_LE(hinge.bound(p, t), hinge_sum(keys, p, t));
    }
  }
}

// A set of positions changing one at a time, as along a row and a walk:
// the Fenwick sums equal the brute-force sum at every x, ties and
// positions without a key included.
TEST(HingeSumTest, FollowsTheSetOfPositionsExactly) {
  Draw pick(11);
  for (int round = 0; round < 100; ++round) {
    const auto n = static_cast<std::size_t>(pick(1, 20));
    std::vector<std::optional<WideNanos>> keys(n);
    for (auto& key : keys) {
      if (pick(0, 3) > 0) key = pick(-10, 10);
    }
    RankedKeys ranked;
    ranked.rebuild(keys);
    HingeSum sum;
    sum.reset(ranked);
    std::vector<std::optional<WideNanos>> in_set(n);
    for (int step = 0; step < 60; ++step) {
      const auto p = static_cast<std::size_t>(pick(0, static_cast<std::int64_t>(n) - 1));
      if (in_set[p].has_value() || !keys[p]) {
        if (in_set[p]) sum.remove(p);
        in_set[p].reset();
      } else {
        sum.add(p);
        in_set[p] = keys[p];
      }
      const std::int64_t x = pick(-15, 15);
      SCOPED_TRACE(::testing::Message() << "round " << round << ", step " << step << ", x " << x);
      EXPECT_EQ(sum.at(x), hinge_sum(in_set, 0, x));
    }
  }
}

ScheduleClock clock_with_hours(int open_hour, int close_hour) {
  TimeScheduler scheduler;
  scheduler.duration_matrix = {{hours(0)}};
  scheduler.job_durations = {hours(1)};
  scheduler.time_windows = {TimeWindows{{TimeWindow::make(at(0, 0), at(9, 0))}}};
  scheduler.operation_times =
      OperationTimes::make(TimeOfDay::from_seconds_since_midnight(open_hour * 3'600LL),
                           TimeOfDay::from_seconds_since_midnight(close_hour * 3'600LL));
  const ScheduleShortcuts shortcuts(scheduler);
  return ScheduleClock(scheduler, 1, InstantOrigin{}, std::numeric_limits<Nanos>::max(), shortcuts);
}

struct OpenTimeCase {
  int hour;
  int minute;
  Nanos open;  // operating time since the day's midnight, days before not counted
};

// Open 08:00–17:00: nine hours of operating time a day.
TEST(OpenTimeTest, CountsOnlyTheOperatingHours) {
  const ScheduleClock clock = clock_with_hours(8, 17);
  const Nanos day3 = clock.instant(at(3, 0));
  const Nanos before = clock.open_time(day3);
  const OpenTimeCase cases[] = {
      {0, 0, 0},
      {7, 59, 0},
      {8, 0, 0},
      {8, 1, 60 * kSecond},
      {12, 30, 4 * kHour + 30 * 60 * kSecond},
      {17, 0, 9 * kHour},
      {23, 59, 9 * kHour},
  };
  for (const OpenTimeCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.hour << ":" << c.minute);
    const Nanos t = clock.instant(at(3, c.hour, c.minute));
    EXPECT_EQ(clock.open_time(t) - before, c.open);
  }
  // Whole days of operating time.
  EXPECT_EQ(clock.open_time(clock.instant(at(5, 10))) - clock.open_time(clock.instant(at(3, 10))),
            18 * kHour);
}

TEST(OpenTimeTest, NeverPassesFasterThanTheClock) {
  for (const auto& [open, close] : {std::pair{8, 17}, std::pair{0, 1}, std::pair{22, 23}}) {
    const ScheduleClock clock = clock_with_hours(open, close);
    std::mt19937_64 random(static_cast<std::uint64_t>(open));
    std::uniform_int_distribution<Nanos> instant(clock.instant(at(0, 0)), clock.instant(at(30, 0)));
    std::uniform_int_distribution<Nanos> span(0, 3 * 24 * kHour);
    for (int round = 0; round < 2'000; ++round) {
      const Nanos t = instant(random);
      const Nanos later = t + span(random);
      EXPECT_LE(clock.open_time(t), clock.open_time(later));
      EXPECT_LE(clock.open_time(later) - clock.open_time(t), later - t);
    }
  }
}

}  // namespace
}  // namespace tourwright
