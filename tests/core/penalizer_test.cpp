#include "penalizer.hpp"

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "test_support.hpp"

namespace tourwright {
namespace {

using testing::at;
using testing::hours;
using testing::index_message;
using testing::seconds;

constexpr std::uint64_t kHuge = std::numeric_limits<std::uint64_t>::max() - 1;

struct DistanceCase {
  std::string name;
  DistanceMatrix matrix;
  Route route;
  std::uint64_t expected;
};

class TourDistanceTest : public ::testing::TestWithParam<DistanceCase> {};

TEST_P(TourDistanceTest, SumsTheClosedTour) {
  const Penalizer penalizer{GetParam().matrix, std::nullopt};
  const Solution solution = penalizer.penalize(GetParam().route, true);
  EXPECT_EQ(solution.distance, GetParam().expected);
  EXPECT_EQ(solution.route, GetParam().route);
  EXPECT_FALSE(solution.time_report.has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TourDistanceTest,
    ::testing::Values(
        DistanceCase{"OneLocationUsesTheDiagonal", {{7}}, {0}, 7},
        DistanceCase{"TwoLocationsGoThereAndBack", {{0, 3}, {5, 0}}, {1, 0}, 8},
        DistanceCase{"Asymmetric", {{0, 1, 10}, {10, 0, 1}, {1, 10, 0}}, {0, 1, 2}, 3},
        DistanceCase{"AsymmetricReversed", {{0, 1, 10}, {10, 0, 1}, {1, 10, 0}}, {0, 2, 1}, 30},
        // 3 * (2^64 - 2) wraps to 2^64 - 6.
        DistanceCase{"WrapsModulo2To64",
                     {{0, kHuge, 2}, {2, 0, kHuge}, {kHuge, 2, 0}},
                     {0, 1, 2},
                     std::numeric_limits<std::uint64_t>::max() - 5},
        DistanceCase{"ShortRowUnusedByTheRoute", {{0, 1, 1}, {1, 0}, {1, 1, 0}}, {0, 2, 1}, 3}),
    [](const ::testing::TestParamInfo<DistanceCase>& info) { return info.param.name; });

struct PackingCase {
  std::string name;
  DistanceMatrix matrix;
  bool packed;
};

class DistanceTableTest : public ::testing::TestWithParam<PackingCase> {};

// Every lookup, inside the rows or beyond them, reads what the caller's rows
// hold or fails as they would.
TEST_P(DistanceTableTest, PacksOnlyASquareMatrixOf32BitEntriesAndReadsTheSame) {
  const DistanceMatrix& rows = GetParam().matrix;
  const DistanceTable table(rows);
  EXPECT_EQ(table.packed() != nullptr, GetParam().packed);
  EXPECT_EQ(table.size(), rows.size());
  for (std::size_t a = 0; a <= rows.size(); ++a) {
    for (std::size_t b = 0; b <= rows.size() + 1; ++b) {
      SCOPED_TRACE(std::to_string(a) + " -> " + std::to_string(b));
      try {
        const std::uint64_t expected = element_at(element_at(rows, a), b);
        EXPECT_EQ(table.leg(a, b), expected);
      } catch (const Failure& failure) {
        EXPECT_FAILURE(table.leg(a, b), failure.what());
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DistanceTableTest,
    ::testing::Values(PackingCase{"Square", {{0, 3, 4}, {5, 0, 6}, {7, 8, 0}}, true},
                      PackingCase{"LargestNarrowEntry", {{0, (1ULL << 32) - 1}, {1, 0}}, true},
                      PackingCase{"OneEntryPast32Bits", {{0, 1ULL << 32}, {1, 0}}, false},
                      PackingCase{"ShortRow", {{0, 1, 1}, {1, 0}, {1, 1, 0}}, false},
                      PackingCase{"LongRow", {{0, 1, 1}, {1, 0}}, false},
                      PackingCase{"NoRows", {}, false}),
    [](const ::testing::TestParamInfo<PackingCase>& info) { return info.param.name; });

struct DistanceFailureCase {
  std::string name;
  DistanceMatrix matrix;
  Route route;
  std::string message;
};

class TourDistanceFailureTest : public ::testing::TestWithParam<DistanceFailureCase> {};

TEST_P(TourDistanceFailureTest, FailsWithTheIndexMessage) {
  const Penalizer penalizer{GetParam().matrix, std::nullopt};
  EXPECT_FAILURE(penalizer.penalize(GetParam().route, false), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TourDistanceFailureTest,
    ::testing::Values(
        DistanceFailureCase{"EmptyRoute", {}, {}, index_message(0, 0)},
        DistanceFailureCase{"LegReadsBeyondAShortRow",
                            {{0, 1, 1}, {1, 0}, {1, 1, 0}},
                            {0, 1, 2},
                            index_message(2, 2)},
        // The row index is checked before the column.
        DistanceFailureCase{"LocationBeyondTheRows", {{0, 1, 1, 1}}, {0, 3}, index_message(1, 3)},
        // Square and below 2^32: packed, with the same messages.
        DistanceFailureCase{
            "PackedColumnBeyondTheTable", {{0, 1}, {1, 0}}, {0, 3}, index_message(2, 3)},
        DistanceFailureCase{
            "PackedRowBeyondTheTable", {{0, 1}, {1, 0}}, {3, 0}, index_message(2, 3)}),
    [](const ::testing::TestParamInfo<DistanceFailureCase>& info) { return info.param.name; });

TEST(PenalizerTest, EqualDistancesAreNotBetterEitherWay) {
  const Penalizer penalizer{{{0, 1}, {1, 0}}, std::nullopt};
  const Solution a = penalizer.penalize({0, 1}, false);
  const Solution b = penalizer.penalize({1, 0}, false);
  EXPECT_FALSE(penalizer.is_better(a, b));
  EXPECT_FALSE(penalizer.is_better(b, a));
}

// Builds a solution with the given keys directly: the order only reads them.
Solution keyed(Duration lateness, Duration traveling, Duration duration, Duration waiting,
               std::uint64_t distance) {
  TimeReport report;
  report.lateness = lateness;
  report.traveling_time = traveling;
  report.duration = duration;
  report.waiting_time = waiting;
  report.working_time = hours(99);  // not a key
  return Solution{{}, report, distance};
}

struct OrderCase {
  std::string name;
  Solution candidate;
  Solution reference;
  bool better;
};

class TimeOrderTest : public ::testing::TestWithParam<OrderCase> {};

TEST_P(TimeOrderTest, ComparesKeysInOrder) {
  const Penalizer penalizer{{}, TimeScheduler{}};
  EXPECT_EQ(penalizer.is_better(GetParam().candidate, GetParam().reference), GetParam().better);
}

const Duration k0 = Duration::zero();
const Duration k1 = seconds(1);
const Duration k9 = seconds(9);

INSTANTIATE_TEST_SUITE_P(
    Cases, TimeOrderTest,
    ::testing::Values(
        OrderCase{"LatenessBeatsEverything", keyed(k0, k9, k9, k9, 900), keyed(k1, k0, k0, k0, 1),
                  true},
        OrderCase{"MoreLatenessLoses", keyed(k1, k0, k0, k0, 1), keyed(k0, k9, k9, k9, 900), false},
        OrderCase{"ThenTravelling", keyed(k1, k0, k9, k9, 900), keyed(k1, k1, k0, k0, 1), true},
        OrderCase{"ThenDuration", keyed(k1, k1, k0, k9, 900), keyed(k1, k1, k1, k0, 1), true},
        OrderCase{"ThenWaiting", keyed(k1, k1, k1, k0, 900), keyed(k1, k1, k1, k1, 1), true},
        OrderCase{"ThenDistance", keyed(k1, k1, k1, k1, 1), keyed(k1, k1, k1, k1, 2), true},
        OrderCase{"AllEqualIsNotBetter", keyed(k1, k1, k1, k1, 2), keyed(k1, k1, k1, k1, 2), false},
        OrderCase{"SubsecondDifferencesCount", keyed(Duration::from_nanoseconds(1), k0, k0, k0, 0),
                  keyed(Duration::from_nanoseconds(2), k0, k0, k0, 0), true}),
    [](const ::testing::TestParamInfo<OrderCase>& info) { return info.param.name; });

TEST(PenalizerTest, TimeDataAddsTheScheduleAndEventsOnlyWhenAsked) {
  TimeWindows window;
  window.windows.push_back(TimeWindow::make(at(0, 8), at(0, 18)));
  const Penalizer penalizer{
      {{0, 4}, {6, 0}},
      TimeScheduler{{{Duration::zero(), hours(1)}, {hours(2), Duration::zero()}},
                    {hours(1), hours(1)},
                    {window, window},
                    std::nullopt}};
  const Solution silent = penalizer.penalize({0, 1}, false);
  const Solution recorded = penalizer.penalize({0, 1}, true);
  EXPECT_EQ(silent.distance, 10u);
  ASSERT_TRUE(silent.time_report && recorded.time_report);
  EXPECT_TRUE(silent.time_report->events.empty());
  EXPECT_EQ(recorded.time_report->events.size(), 4u);
  EXPECT_EQ(silent.time_report->duration, hours(5));
  EXPECT_EQ(recorded.time_report->duration, hours(5));
}

}  // namespace
}  // namespace tourwright
