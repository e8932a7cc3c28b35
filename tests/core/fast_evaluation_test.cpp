#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "fast/move_shapes.hpp"
#include "local_moves.hpp"
#include "random_instances.hpp"
#include "solver.hpp"
#include "test_support.hpp"

namespace tourwright {
namespace {

using testing::Damage;
using testing::Recipe;

constexpr std::int64_t kHour = 3'600;
constexpr std::int64_t kDay = 24 * kHour;
constexpr std::uint64_t kTop = std::numeric_limits<std::uint64_t>::max();
constexpr std::uint64_t k32 = std::uint64_t{1} << 32;
constexpr std::int64_t kEndOf9999 = 253'402'300'799;

// Everything a caller can observe of a solution.
void expect_same_solution(const Solution& fast, const Solution& literal) {
  EXPECT_EQ(fast.route, literal.route);
  EXPECT_EQ(fast.distance, literal.distance);
  ASSERT_EQ(fast.time_report.has_value(), literal.time_report.has_value());
  if (!literal.time_report) return;
  const TimeReport& a = *fast.time_report;
  const TimeReport& b = *literal.time_report;
  EXPECT_EQ(a.lateness, b.lateness);
  EXPECT_EQ(a.traveling_time, b.traveling_time);
  EXPECT_EQ(a.duration, b.duration);
  EXPECT_EQ(a.waiting_time, b.waiting_time);
  EXPECT_EQ(a.working_time, b.working_time);
  EXPECT_EQ(a.start_time, b.start_time);
  EXPECT_EQ(a.end_time, b.end_time);
  EXPECT_EQ(a.events, b.events);
}

// The result of a whole search, or the message it failed with.
using Outcome = std::variant<std::string, Solver>;

Outcome solve_with(const Penalizer& penalizer, Evaluation evaluation) {
  try {
    Solver solver(penalizer, std::nullopt, std::nullopt, evaluation);
    solver.solve();
    return solver;
  } catch (const Failure& failure) {
    return std::string(failure.what());
  }
}

void expect_same_outcome(const Penalizer& penalizer) {
  const Outcome literal = solve_with(penalizer, Evaluation::literal);
  const Outcome fast = solve_with(penalizer, Evaluation::fast);
  ASSERT_EQ(fast.index(), literal.index());
  if (const auto* message = std::get_if<std::string>(&literal)) {
    EXPECT_EQ(std::get<std::string>(fast), *message);
    return;
  }
  const Solver& a = std::get<Solver>(fast);
  const Solver& b = std::get<Solver>(literal);
  EXPECT_EQ(a.iterations(), b.iterations());
  expect_same_solution(a.best_solution(), b.best_solution());
}

// Runs the descent pass by pass on both paths and compares every scan's
// answer and the current solution after it, so a divergence shows where it
// starts. Only for inputs on which the search cannot fail.
void expect_same_scans(const Penalizer& penalizer) {
  Solver literal(penalizer, std::nullopt, std::nullopt, Evaluation::literal);
  Solver fast(penalizer, std::nullopt, std::nullopt, Evaluation::fast);
  for (bool improved = true; improved;) {
    improved = false;
    for (const PassEntry& entry : kPassTable) {
      const bool literal_improved = literal.run_move(entry);
      ASSERT_EQ(fast.run_move(entry), literal_improved);
      expect_same_solution(fast.current_solution(), literal.current_solution());
      if (::testing::Test::HasFailure()) return;
      improved = improved || literal_improved;
    }
  }
}

// The solver scans fast exactly where the fast path is exact (an input whose
// start route fails to evaluate is not).
bool scans_fast(const Penalizer& penalizer) {
  try {
    return Solver(penalizer, std::nullopt, std::nullopt, Evaluation::fast).scan_counters() !=
           nullptr;
  } catch (const Failure&) {
    return false;
  }
}

enum class Expect { fast, literal, either };

struct DifferentialCase {
  Recipe recipe;
  Expect path;
  std::uint64_t seeds;
};

class FastEvaluationTest : public ::testing::TestWithParam<DifferentialCase> {};

TEST_P(FastEvaluationTest, AcceptsTheSameCandidatesAsTheLiteralPath) {
  const DifferentialCase& c = GetParam();
  for (std::uint64_t seed = 0; seed < c.seeds; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    const Penalizer penalizer = testing::InstanceMaker(seed).make(c.recipe);
    const bool exact = scans_fast(penalizer);
    if (c.path != Expect::either) EXPECT_EQ(exact, c.path == Expect::fast);
    expect_same_outcome(penalizer);
    if (exact) expect_same_scans(penalizer);
    if (HasFailure()) return;
  }
}

Recipe distances(std::string name, bool symmetric, std::uint64_t max_distance, std::size_t max_n) {
  Recipe recipe;
  recipe.name = std::move(name);
  recipe.symmetric = symmetric;
  recipe.max_distance = max_distance;
  recipe.max_n = max_n;
  return recipe;
}

Recipe timed(std::string name) {
  Recipe recipe;
  recipe.name = std::move(name);
  recipe.timed = true;
  recipe.max_n = 14;
  return recipe;
}

template <class Change>
Recipe with(Recipe recipe, Change change) {
  change(recipe);
  return recipe;
}

// Jobs of up to 40 days' opening under one hour a day, in windows of weeks.
Recipe whole_days(std::string name) {
  return with(timed(std::move(name)), [](Recipe& r) {
    r.hours = {{9 * kHour, 10 * kHour}};
    r.max_job = 40 * kHour;
    r.max_width = 30 * kDay;
    r.max_gap = 5 * kDay;
  });
}

// Long lists of windows (up to 60 per location), mostly shorter than the jobs.
Recipe many_short_windows(std::string name) {
  return with(timed(std::move(name)), [](Recipe& r) {
    r.max_windows = 60;
    r.max_width = 20 * 60;
    r.max_gap = 30 * 60;
    r.max_n = 10;
  });
}

const DifferentialCase kCases[] = {
    {distances("SymmetricDistances", true, 100, 40), Expect::fast, 60},
    {distances("AsymmetricDistances", false, 100, 40), Expect::fast, 60},
    {distances("ManyTies", false, 2, 25), Expect::fast, 40},
    {distances("DistancesNearTheTopWrap", false, kTop, 30), Expect::fast, 40},
    {distances("LongerTours", false, 1'000'000, 90), Expect::fast, 4},
    {distances("LongerSymmetricTours", true, 1'000'000, 90), Expect::fast, 4},
    // 32-bit table entries hold every distance below 2^32; one more and the
    // table keeps 64-bit entries.
    {with(distances("DistancesJustBelow32Bits", false, k32 - 1, 30),
          [](Recipe& r) { r.min_distance = k32 - 64; }),
     Expect::fast, 30},
    {with(distances("SymmetricDistancesJustBelow32Bits", true, k32 - 1, 30),
          [](Recipe& r) { r.min_distance = k32 - 64; }),
     Expect::fast, 30},
    {with(distances("DistancesAround32Bits", false, k32 + 2, 30),
          [](Recipe& r) { r.min_distance = k32 - 64; }),
     Expect::fast, 30},
    {timed("LooseWindows"), Expect::fast, 60},
    {with(timed("TightWindows"),
          [](Recipe& r) {
            r.max_width = 1'800;
            r.max_job = 1'800;
          }),
     Expect::fast, 60},
    {with(timed("ManyWindows"),
          [](Recipe& r) {
            r.max_windows = 6;
            r.max_width = kHour;
            r.max_gap = kHour;
          }),
     Expect::fast, 50},
    {with(timed("MostlyLate"),
          [](Recipe& r) {
            r.max_width = 600;
            r.max_gap = 600;
            r.max_travel = 4 * kHour;
          }),
     Expect::fast, 50},
    // Longer tours, mostly late: most candidates are rejected by the
    // lateness the unchanged rest cannot avoid, and rotations carry their
    // run along the row.
    {with(timed("MostlyLateLongerTours"),
          [](Recipe& r) {
            r.max_width = 600;
            r.max_gap = 900;
            r.max_travel = 2 * kHour;
            r.min_n = 15;
            r.max_n = 30;
          }),
     Expect::fast, 12},
    {with(timed("MostlyLateLongerToursUnderHours"),
          [](Recipe& r) {
            r.max_width = 2 * kHour;
            r.max_gap = 2 * kHour;
            r.max_travel = 3 * kHour;
            r.hours = {{8 * kHour, 17 * kHour}};
            r.min_n = 15;
            r.max_n = 30;
          }),
     Expect::fast, 12},
    {with(timed("SeveralWindowsLongerToursUnderHours"),
          [](Recipe& r) {
            r.max_windows = 4;
            r.max_width = kHour;
            r.max_gap = 6 * kHour;
            r.hours = {{8 * kHour, 17 * kHour}};
            r.min_n = 15;
            r.max_n = 30;
          }),
     Expect::fast, 12},
    // Rows of a hundred candidates and more, where most reversals are
    // rejected by the lateness of their own segment before simulating.
    {with(timed("LateToursInTheHundreds"),
          [](Recipe& r) {
            r.max_windows = 1;
            r.max_width = 2 * kHour;
            r.max_gap = 2 * kHour;
            r.max_travel = kHour;
            r.min_n = 100;
            r.max_n = 110;
          }),
     Expect::fast, 1},
    {with(timed("LateToursInTheHundredsUnderHours"),
          [](Recipe& r) {
            r.max_windows = 2;
            r.max_width = 2 * kHour;
            r.max_gap = 2 * kHour;
            r.max_travel = kHour;
            r.hours = {{8 * kHour, 17 * kHour}};
            r.min_n = 100;
            r.max_n = 110;
          }),
     Expect::fast, 1},
    {with(timed("OperatingHours"),
          [](Recipe& r) {
            r.hours = {{8 * kHour, 17 * kHour}};
            r.max_job = 5 * kHour;
          }),
     Expect::fast, 50},
    {with(timed("ShortHoursLongJobsLate"),
          [](Recipe& r) {
            r.hours = {{6 * kHour, 9 * kHour}};
            r.max_job = 10 * kHour;
            r.max_width = kHour;
            r.max_gap = kHour;
          }),
     Expect::fast, 50},
    {with(timed("WindowsOverSeveralDays"),
          [](Recipe& r) {
            r.hours = {{8 * kHour, 17 * kHour}};
            r.max_width = 2 * kDay;
            r.max_gap = kDay;
            r.max_job = 6 * kHour;
          }),
     Expect::fast, 40},
    // Jobs and drives of many days under short hours, in windows of weeks:
    // the fast search takes runs of whole days at once, and a run ends where
    // a job's end looked up leaves its window (a push-back mid-job).
    {with(whole_days("WholeDaysUnderShortHours"), [](Recipe& r) { r.max_travel = 10 * kHour; }),
     Expect::fast, 50},
    {with(whole_days("WholeDaysOutOfOrder"),
          [](Recipe& r) {
            r.unsorted_windows = true;
            r.max_windows = 4;
          }),
     Expect::fast, 40},
    {with(timed("WholeDaysOneSecondADay"),
          [](Recipe& r) {
            r.hours = {{9 * kHour, 9 * kHour + 1}};
            r.max_job = 300;
            r.max_travel = 60;
            r.max_width = 200 * kDay;
            r.max_gap = 30 * kDay;
            r.max_n = 10;
          }),
     Expect::fast, 40},
    {with(timed("AsymmetricTimes"), [](Recipe& r) { r.symmetric = false; }), Expect::fast, 50},
    // Whole seconds as the input conversion packs them, shared by the fast
    // path in seconds.
    {with(timed("PackedTimes"), [](Recipe& r) { r.packed_durations = true; }), Expect::fast, 40},
    {with(timed("PackedAsymmetricTimesUnderHours"),
          [](Recipe& r) {
            r.packed_durations = true;
            r.symmetric = false;
            r.hours = {{8 * kHour, 17 * kHour}};
          }),
     Expect::fast, 40},
    {with(timed("UnsortedWindows"),
          [](Recipe& r) {
            r.unsorted_windows = true;
            r.max_windows = 4;
          }),
     Expect::fast, 40},
    // "No deadline" written as the end of year 9999: past 64-bit nanoseconds,
    // yet no clock gets near it, so such ends are read as an earlier bound,
    // whatever the order of the windows.
    {with(timed("OpenEndedWindows"),
          [](Recipe& r) {
            r.last_end = kEndOf9999;
            r.max_windows = 4;
            r.hours = {{8 * kHour, 18 * kHour}};
            r.max_job = 5 * kHour;
          }),
     Expect::fast, 50},
    {with(timed("OpenEndedWindowsOutOfOrder"),
          [](Recipe& r) {
            r.last_end = kEndOf9999;
            r.max_windows = 4;
            r.unsorted_windows = true;
          }),
     Expect::fast, 30},
    // Long lists of windows mostly shorter than the jobs: push-backs cross
    // many windows, which the fast path looks up instead of walking; zero
    // length windows sharing starts shadow one another.
    {many_short_windows("ManyShortWindows"), Expect::fast, 40},
    {with(many_short_windows("ManyShortWindowsWithHours"),
          [](Recipe& r) {
            r.max_width = 40 * 60;
            r.max_gap = 60 * 60;
            r.max_job = 5 * kHour;
            r.hours = {{8 * kHour, 12 * kHour}};
          }),
     Expect::fast, 40},
    {with(many_short_windows("ManyShortWindowsOutOfOrder"),
          [](Recipe& r) { r.unsorted_windows = true; }),
     Expect::fast, 30},
    {with(many_short_windows("ManyZeroLengthWindows"),
          [](Recipe& r) {
            r.max_width = 0;
            r.max_gap = 2;
            r.max_job = 60;
          }),
     Expect::fast, 40},
    // The same lists with far ends out of order (fast since the clock bound
    // holds for any order), and near the last instant, where a walk can fail
    // and the literal evaluation looks them up too.
    {with(many_short_windows("ManyShortWindowsOpenEndedOutOfOrder"),
          [](Recipe& r) {
            r.unsorted_windows = true;
            r.last_end = kEndOf9999;
            r.max_n = 8;
          }),
     Expect::fast, 30},
    {with(many_short_windows("ManyShortWindowsNearTheLastInstant"),
          [](Recipe& r) {
            r.first_day = DateTime::kMaxUnixSeconds - 2 * kDay;
            r.max_job = 6 * kHour;
            r.max_n = 6;
          }),
     Expect::either, 40},
    {with(timed("SubsecondTimes"),
          [](Recipe& r) {
            r.subsecond = true;
            r.hours = {{7 * kHour, 19 * kHour}};
          }),
     Expect::fast, 40},
    {with(timed("DatesNearTheLastInstant"),
          [](Recipe& r) {
            r.first_day = DateTime::kMaxUnixSeconds - 2 * kDay;
            r.max_job = kDay / 4;
            r.max_travel = kDay / 4;
            r.max_n = 6;
          }),
     Expect::either, 60},
    // The fast path counts nanoseconds in 64 bits, which end in April 2262.
    {with(timed("DatesNearTheYear2262"),
          [](Recipe& r) {
            r.first_day =
                std::numeric_limits<std::int64_t>::max() / Duration::kNanosPerSecond - 45 * kDay;
            r.max_job = kDay;
            r.max_travel = kDay / 2;
            r.hours = {{8 * kHour, 17 * kHour}};
            r.max_n = 5;
          }),
     Expect::either, 60},
    // Clocks count from the day of the earliest window, so only spans must
    // fit 64-bit nanoseconds: the year 50,000 is as fast as 2024, and so is
    // an instance written in Unix milliseconds read as seconds (every time a
    // thousand times too large, the windows near the year 55,800).
    {with(timed("DatesInTheYear50000"),
          [](Recipe& r) {
            r.first_day = 17'542'597LL * kDay;
            r.hours = {{8 * kHour, 17 * kHour}};
          }),
     Expect::fast, 40},
    {with(timed("MillisecondsReadAsSeconds"),
          [](Recipe& r) {
            r.first_day = 1'704'067'200'000LL;  // 2024-01-01 in milliseconds
            r.max_travel *= 1'000;
            r.max_job *= 1'000;
            r.max_width *= 1'000;
            r.max_gap *= 1'000;
          }),
     Expect::fast, 40},
    {with(timed("DurationsNearTheLimit"),
          [](Recipe& r) {
            r.max_job = Duration::kMaxWholeSeconds;
            r.max_n = 5;
          }),
     Expect::either, 30},
    {with(distances("ShortDistanceRow", false, 50, 10),
          [](Recipe& r) { r.damage = Damage::short_distance_row; }),
     Expect::literal, 30},
    {with(timed("ShortDurationRow"), [](Recipe& r) { r.damage = Damage::short_duration_row; }),
     Expect::literal, 30},
    {with(timed("ShortJobList"), [](Recipe& r) { r.damage = Damage::short_jobs; }), Expect::literal,
     30},
    {with(timed("ShortWindowList"), [](Recipe& r) { r.damage = Damage::short_windows; }),
     Expect::literal, 30},
    {with(timed("LocationWithoutWindows"), [](Recipe& r) { r.damage = Damage::no_windows; }),
     Expect::literal, 30},
};

// A long list whose window listed last ends before the others start: no
// lookup finds those starts, so the settling tables must leave them unknown
// (filling them once read an empty lookup).
TEST(FastEvaluationTest, LongListEndingBeforeItsOtherWindowsStart) {
  constexpr std::int64_t kStart = 1'700'000'000;
  TimeWindows windows;
  for (std::int64_t k = 1; k <= 17; ++k) {
    windows.windows.push_back(TimeWindow::make(DateTime::from_unix_seconds(kStart + 100 * k),
                                               DateTime::from_unix_seconds(kStart + 100 * k + 10)));
  }
  windows.windows.push_back(TimeWindow::make(DateTime::from_unix_seconds(kStart),
                                             DateTime::from_unix_seconds(kStart + 5)));
  TimeScheduler scheduler{{{Duration::zero()}}, {Duration::from_seconds(1)}, {windows}, {}};
  expect_same_outcome(Penalizer{{{0}}, std::move(scheduler)});
}

// On mostly late routes the shortcuts do their work: every kind of move
// rejects at least one candidate in twenty before simulating any position
// (8 % to 53 % here; under 2 % with the lateness bounds taken as zero), and
// a simulated candidate simulates fewer positions than the route has (read
// off the counters, so that a bound weakened to nothing shows here).
class ShortcutCountersTest : public ::testing::TestWithParam<DifferentialCase> {};

TEST_P(ShortcutCountersTest, RejectMostlyLateCandidatesUnsimulated) {
  const DifferentialCase& c = GetParam();
  ScanCounters total{};
  std::size_t positions_per_route = 0;
  for (std::uint64_t seed = 0; seed < c.seeds; ++seed) {
    const Penalizer penalizer = testing::InstanceMaker(seed).make(c.recipe);
    Solver solver(penalizer, std::nullopt, std::nullopt, Evaluation::fast);
    solver.solve();
    ASSERT_NE(solver.scan_counters(), nullptr);
    for (std::size_t kind = 0; kind < kMoveKinds; ++kind) {
      const MoveCounters& counters = (*solver.scan_counters())[kind];
      total[kind].candidates += counters.candidates;
      total[kind].rejected_unsimulated += counters.rejected_unsimulated;
      total[kind].simulated += counters.simulated;
      total[kind].positions += counters.positions;
    }
    positions_per_route = std::max(positions_per_route, penalizer.distance_matrix.size());
  }
  for (std::size_t kind = 0; kind < kMoveKinds; ++kind) {
    SCOPED_TRACE(kind_name(static_cast<MoveKind>(kind)));
    const MoveCounters& counters = total[kind];
    EXPECT_GT(counters.candidates, 0U);
    EXPECT_GE(counters.rejected_unsimulated * 20, counters.candidates);
    EXPECT_LT(counters.positions, counters.simulated * positions_per_route);
  }
}

std::string case_name(const ::testing::TestParamInfo<DifferentialCase>& info) {
  return info.param.recipe.name;
}

INSTANTIATE_TEST_SUITE_P(Cases, FastEvaluationTest, ::testing::ValuesIn(kCases), case_name);

std::vector<DifferentialCase> mostly_late_cases() {
  std::vector<DifferentialCase> rows;
  for (const DifferentialCase& c : kCases) {
    if (c.recipe.name.rfind("MostlyLate", 0) == 0) rows.push_back(c);
  }
  return rows;
}

INSTANTIATE_TEST_SUITE_P(Cases, ShortcutCountersTest, ::testing::ValuesIn(mostly_late_cases()),
                         case_name);

}  // namespace
}  // namespace tourwright

namespace tourwright {
namespace {

// run_move with any gap: where a segment would be shorter than its move the
// literal scan fails, and so must the fast one, with the same message.
struct GapCase {
  std::string name;
  Recipe recipe;
};

class AnyGapTest : public ::testing::TestWithParam<GapCase> {};

TEST_P(AnyGapTest, EveryMoveAndGapMatchesTheLiteralScan) {
  for (std::uint64_t seed = 0; seed < 6; ++seed) {
    const Penalizer penalizer = testing::InstanceMaker(100 + seed).make(GetParam().recipe);
    for (std::size_t m = 0; m < kPassTable.size(); ++m) {
      for (std::size_t gap = 0; gap < 6; ++gap) {
        const PassEntry entry{kPassTable[m].move, gap, kPassTable[m].shape, kPassTable[m].name};
        SCOPED_TRACE("seed " + std::to_string(seed) + ", move " + std::to_string(m) + ", gap " +
                     std::to_string(gap));
        Solver literal(penalizer, std::nullopt, std::nullopt, Evaluation::literal);
        Solver fast(penalizer, std::nullopt, std::nullopt, Evaluation::fast);
        std::optional<std::string> literal_failure;
        bool literal_improved = false;
        try {
          literal_improved = literal.run_move(entry);
        } catch (const Failure& failure) {
          literal_failure = failure.what();
        }
        if (literal_failure) {
          EXPECT_FAILURE(fast.run_move(entry), *literal_failure);
          continue;
        }
        EXPECT_EQ(fast.run_move(entry), literal_improved);
        expect_same_solution(fast.current_solution(), literal.current_solution());
      }
    }
  }
}

Recipe any_gap(bool timed_data) {
  Recipe recipe;
  recipe.min_n = 2;
  recipe.max_n = 9;
  recipe.symmetric = false;
  recipe.timed = timed_data;
  recipe.hours = {{8 * kHour, 17 * kHour}};
  return recipe;
}

INSTANTIATE_TEST_SUITE_P(Cases, AnyGapTest,
                         ::testing::Values(GapCase{"Distances", any_gap(false)},
                                           GapCase{"TimeData", any_gap(true)}),
                         [](const ::testing::TestParamInfo<GapCase>& info) {
                           return info.param.name;
                         });

}  // namespace
}  // namespace tourwright
