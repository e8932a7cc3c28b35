#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "fast/fast_eligibility.hpp"
#include "fast/move_shapes.hpp"
#include "fast/schedule/lateness_bounds.hpp"
#include "fast/schedule/reversal_bound.hpp"
#include "fast/schedule/schedule_checkpoints.hpp"
#include "fast/schedule/schedule_clock.hpp"
#include "local_moves.hpp"
#include "penalties/time/time_output.hpp"
#include "random_instances.hpp"

namespace tourwright {
namespace {

using testing::Recipe;

constexpr std::int64_t kHour = 3'600;

// A route's schedule walked by the literal rules, action by action: its state
// (in nanoseconds) on arrival at each position and after the work there.
struct LiteralStates {
  std::vector<ScheduleState> arrival;
  std::vector<ScheduleState> departure;
};

LiteralStates literal_states(const TimeScheduler& scheduler, const ScheduleClock& clock,
                             const Route& route) {
  const OperationTimes* hours = scheduler.operation_times ? &*scheduler.operation_times : nullptr;
  const std::size_t n = route.size();
  const DateTime beginning = scheduler.time_windows[route[0]].windows[0].start;
  TimeTotals totals{Duration::zero(), Duration::zero(), Duration::zero(), Duration::zero(),
                    Duration::zero(), beginning,        beginning};
  const auto state = [&] {
    return ScheduleState{clock.instant(totals.end_time), wide_nanos_of(totals.lateness),
                         nanos_of(totals.waiting_time)};
  };
  LiteralStates states;
  for (std::size_t k = 0; k < n; ++k) {
    if (k > 0) {
      totals.extend(action_report(scheduler.travel_duration(route[k - 1], route[k]), nullptr, hours,
                                  totals.end_time, true, std::nullopt, false));
    }
    states.arrival.push_back(state());
    totals.extend(action_report(scheduler.job_durations[route[k]],
                                &scheduler.time_windows[route[k]], hours, totals.end_time, false,
                                route[k], false));
    states.departure.push_back(state());
  }
  return states;
}

bool operator==(const ScheduleState& a, const ScheduleState& b) {
  return a.clock == b.clock && a.lateness == b.lateness && a.waiting == b.waiting;
}

struct BoundsCase {
  Recipe recipe;
  std::uint64_t seeds;
};

// One seed's instance of a case, the fast path's clock over it (when the
// fast path is exact for it) and a shuffled route of its locations.
struct SeededInstance {
  SeededInstance(const Recipe& recipe, std::uint64_t seed)
      : penalizer(testing::InstanceMaker(seed).make(recipe)),
        n(penalizer.distance_matrix.size()),
        shortcuts(*penalizer.time_scheduler),
        eligibility(fast_eligibility(penalizer, n)),
        shuffled_route(n) {
    if (eligibility.exact) {
      clock.emplace(*penalizer.time_scheduler, n, eligibility.origin, eligibility.clock_ceiling,
                    shortcuts);
    }
    std::iota(shuffled_route.begin(), shuffled_route.end(), std::size_t{0});
    std::shuffle(shuffled_route.begin(), shuffled_route.end(), std::mt19937_64(seed));
  }

  Penalizer penalizer;
  std::size_t n;
  ScheduleShortcuts shortcuts;
  FastEligibility eligibility;
  std::optional<ScheduleClock> clock;
  Route shuffled_route;
};

class CheckpointBoundsTest : public ::testing::TestWithParam<BoundsCase> {};

// For the current route and every candidate of every move: the bounds never
// pass what the literal schedule of the candidate gives, and the shortcuts
// that replace simulation (resume, merge) give exactly it.
TEST_P(CheckpointBoundsTest, HoldAgainstTheLiteralSchedules) {
  for (std::uint64_t seed = 0; seed < GetParam().seeds; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    const SeededInstance instance(GetParam().recipe, seed);
    ASSERT_TRUE(instance.clock.has_value());
    const TimeScheduler& scheduler = *instance.penalizer.time_scheduler;
    const std::size_t n = instance.n;
    const ScheduleClock& clock = *instance.clock;

    const Route current = instance.shuffled_route;
    ScheduleCheckpoints checkpoints;
    checkpoints.rebuild(clock, current);
    LatenessBounds bounds;
    bounds.rebuild(clock, current, checkpoints);
    const LiteralStates at_current = literal_states(scheduler, clock, current);
    for (std::size_t k = 0; k < n; ++k) {
      ASSERT_TRUE(checkpoints.arrival(k) == at_current.arrival[k]) << "arrival at " << k;
      ASSERT_TRUE(checkpoints.departure(k) == at_current.departure[k]) << "departure at " << k;
    }
    const WideNanos total = at_current.departure.back().lateness;
    // With one window per location, arriving exactly as the current route
    // does, the rest is exactly as late as the current one's.
    for (std::size_t p = 1; p < n; ++p) {
      const ScheduleState& arrival = checkpoints.arrival(p);
      const WideNanos rest = total - arrival.lateness;
      const WideNanos bound = bounds.suffix(p, arrival.clock, clock.open_time(arrival.clock));
      EXPECT_LE(bound, rest) << "current route at " << p;
      if (checkpoints.single_windows(p, n)) EXPECT_EQ(bound, rest) << "current route at " << p;
    }

    for (const PassEntry& entry : kPassTable) {
      with_shape(entry.shape, [&]<MoveKind Kind, std::size_t Block>() {
        using Shape = MoveShapeTraits<Kind, Block>;
        for (std::size_t i = 0; i < n; ++i) {
          ReversalBound reversal;
          if (i > 0)
            reversal.reset(bounds, clock, current, i,
                           clock.open_time(checkpoints.departure(i - 1).clock));
          for (std::size_t j = Shape::first_partner(i, i + 1 + entry.min_gap); j < n; ++j) {
            Route candidate = current;
            entry.move(candidate, i, j);
            const LiteralStates states = literal_states(scheduler, clock, candidate);
            const ScheduleState& last = states.departure.back();
            SCOPED_TRACE(std::string(entry.name) + " on " + std::to_string(i) + ".." +
                         std::to_string(j));
            // The reversed segment's own jobs, along the row, and those still
            // ahead as the candidate walks it.
            if (Shape::reverses_segment && i > 0) {
              const WideNanos own = states.departure[j].lateness - states.departure[i - 1].lateness;
              EXPECT_LE(reversal.at(j), own) << "reversed segment";
              for (std::size_t k = i; k <= j; ++k) {
                const ScheduleState& done = states.departure[k];
                EXPECT_LE(reversal.after_work(i + j - k, clock.open_time(done.clock)),
                          states.departure[j].lateness - done.lateness)
                    << "reversed segment after " << k;
              }
              reversal.end_candidate();
            }
            // The unchanged rest, however it is reached.
            for (std::size_t p = j + 1; p < n; ++p) {
              const ScheduleState& arrival = states.arrival[p];
              const WideNanos rest = last.lateness - arrival.lateness;
              EXPECT_LE(bounds.suffix(p, arrival.clock, clock.open_time(arrival.clock)), rest);
              if (const auto resumed = checkpoints.resume(p, arrival)) {
                EXPECT_TRUE(*resumed == last) << "resumed at " << p;
              }
              if (const auto bound = checkpoints.rest_bound(p, arrival)) {
                EXPECT_LE(bound->clock, last.clock);
                EXPECT_LE(bound->lateness, last.lateness);
              }
              if (const auto merged = checkpoints.merge(p, n - 1, states.departure[p])) {
                EXPECT_TRUE(*merged == last) << "merged at " << p;
              }
            }
            // The stretch the move keeps in order, up to its end.
            const InOrderStretch stretch = Shape::in_order_stretch(i, j);
            for (std::size_t k = stretch.first; k < stretch.end; ++k) {
              const std::size_t from = stretch.from + (k - stretch.first);
              const std::size_t end = stretch.from + (stretch.end - stretch.first);
              const ScheduleState& arrival = states.arrival[k];
              const WideNanos own = states.departure[stretch.end - 1].lateness - arrival.lateness;
              EXPECT_LE(bounds.stretch(from, end, arrival.clock, clock.open_time(arrival.clock)),
                        own)
                  << "stretch from " << k;
            }
          }
        }
      });
      if (HasFailure()) return;
    }
  }
}

// After every move of the table, walking again only from the change (until
// the schedule meets the recorded one) gives the checkpoints a walk of the
// whole new route gives.
TEST_P(CheckpointBoundsTest, FollowAnAcceptedMoveAsAFreshWalkDoes) {
  for (std::uint64_t seed = 0; seed < GetParam().seeds; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    const SeededInstance instance(GetParam().recipe, seed);
    ASSERT_TRUE(instance.clock.has_value());
    const std::size_t n = instance.n;
    const ScheduleClock& clock = *instance.clock;
    Route current = instance.shuffled_route;
    for (const PassEntry& entry : kPassTable) {
      for (std::size_t i = 0; i + 1 + entry.min_gap < n; ++i) {
        const std::size_t j = n - 1 - (i + seed) % (n - 1 - i - entry.min_gap);
        if (j <= i + entry.min_gap || j < i + entry.shape.block) continue;
        ScheduleCheckpoints followed;
        followed.rebuild(clock, current);
        Route moved = current;
        entry.move(moved, i, j);
        followed.rebuild_after_change(clock, moved, i, j);
        ScheduleCheckpoints fresh;
        fresh.rebuild(clock, moved);
        SCOPED_TRACE(std::string(entry.name) + " on " + std::to_string(i) + ".." +
                     std::to_string(j));
        EXPECT_TRUE(followed.end() == fresh.end());
        for (std::size_t k = 0; k < n; ++k) {
          ASSERT_TRUE(followed.arrival(k) == fresh.arrival(k)) << "arrival at " << k;
          ASSERT_TRUE(followed.departure(k) == fresh.departure(k)) << "departure at " << k;
          ASSERT_EQ(followed.lengths_before(k), fresh.lengths_before(k)) << "lengths at " << k;
          ASSERT_EQ(followed.single_windows(k, n), fresh.single_windows(k, n)) << k;
          // The suffix aggregates, through what reads them: a candidate a
          // day later resumes alike, or not at all.
          ScheduleState later = fresh.arrival(k);
          later.clock += kNanosPerDay;
          const auto followed_rest = followed.resume(k, later);
          const auto fresh_rest = fresh.resume(k, later);
          ASSERT_EQ(followed_rest.has_value(), fresh_rest.has_value()) << "resume at " << k;
          if (fresh_rest) ASSERT_TRUE(*followed_rest == *fresh_rest) << "resume at " << k;
        }
        current = std::move(moved);
      }
    }
  }
}

Recipe bounded(std::string name, std::size_t max_windows, bool hours) {
  Recipe recipe;
  recipe.name = std::move(name);
  recipe.timed = true;
  recipe.min_n = 4;
  recipe.max_n = 11;
  recipe.max_windows = max_windows;
  recipe.max_width = 1'200;
  recipe.max_gap = 1'800;
  recipe.max_travel = 2 * kHour;
  if (hours) recipe.hours = {{8 * kHour, 17 * kHour}};
  return recipe;
}

Recipe with_n(Recipe recipe, std::size_t min_n, std::size_t max_n) {
  recipe.min_n = min_n;
  recipe.max_n = max_n;
  return recipe;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CheckpointBoundsTest,
    ::testing::Values(BoundsCase{bounded("MostlyLateOneWindow", 1, false), 60},
                      BoundsCase{bounded("MostlyLateOneWindowUnderHours", 1, true), 60},
                      BoundsCase{bounded("MostlyLateSeveralWindows", 4, false), 60},
                      BoundsCase{bounded("MostlyLateSeveralWindowsUnderHours", 4, true), 60},
                      // Rows long enough for the reversals' heaps to turn over.
                      BoundsCase{with_n(bounded("LongerRowsUnderHours", 1, true), 25, 40), 6},
                      BoundsCase{with_n(bounded("LongerRowsSeveralWindows", 3, false), 25, 40), 6}),
    [](const ::testing::TestParamInfo<BoundsCase>& info) { return info.param.recipe.name; });

}  // namespace
}  // namespace tourwright
