#include "penalties/time/time_input.hpp"

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "messages.hpp"
#include "test_support.hpp"

namespace tourwright {
namespace {

using testing::index_message;

constexpr std::uint64_t kMaxSeconds = 9'223'372'036'854'775;
constexpr std::uint64_t kMaxUnix = 8'210'266'876'799;
constexpr std::uint64_t kTwoTo63 = std::uint64_t{1} << 63;
constexpr std::uint64_t kAllOnes = std::numeric_limits<std::uint64_t>::max();
const std::string kSecondsBound = messages::kSecondsOutOfBounds;
const std::string kUnwrap = messages::kUnwrapNone;
const std::string kWindowOrder = messages::kWindowStartAfterEnd;
const std::string kHoursOrder = messages::kHoursStartNotBeforeEnd;

struct Arguments {
  std::optional<RawMatrix> durations;
  std::optional<std::vector<std::uint64_t>> jobs;
  std::optional<RawWindows> windows;
  std::optional<RawPair> hours;
};

std::optional<TimeScheduler> convert(Arguments a) {
  return TimeScheduler::from_arguments(a.durations, a.jobs, a.windows, a.hours);
}

struct FailureCase {
  std::string name;
  Arguments arguments;
  std::string message;
};

class FromArgumentsFailureTest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(FromArgumentsFailureTest, FirstFailingCheckWins) {
  EXPECT_FAILURE(convert(GetParam().arguments), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FromArgumentsFailureTest,
    ::testing::Values(
        FailureCase{
            "DurationAboveBound", {RawMatrix{{0, kMaxSeconds + 1}}, {}, {}, {}}, kSecondsBound},
        FailureCase{"DurationFrom2To63", {RawMatrix{{kTwoTo63}}, {}, {}, {}}, kSecondsBound},
        FailureCase{"DurationAllOnes", {RawMatrix{{kAllOnes}}, {}, {}, {}}, kSecondsBound},
        FailureCase{"JobAboveBound",
                    {{}, std::vector<std::uint64_t>{1, kMaxSeconds + 1}, {}, {}},
                    kSecondsBound},
        FailureCase{
            "WindowEndBeyondYear262142", {{}, {}, RawWindows{{{0, kMaxUnix + 1}}}, {}}, kUnwrap},
        FailureCase{
            "WindowStartFrom2To63", {{}, {}, RawWindows{{{kTwoTo63, kTwoTo63}}}, {}}, kUnwrap},
        FailureCase{"WindowReversed", {{}, {}, RawWindows{{{11, 10}}}, {}}, kWindowOrder},
        // Start converts before end, and both before the comparison.
        FailureCase{
            "WindowEndCheckedBeforeOrder", {{}, {}, RawWindows{{{20, kMaxUnix + 1}}}, {}}, kUnwrap},
        FailureCase{"HoursAcrossMidnight", {{}, {}, {}, RawPair{72'000, 7'200}}, kHoursOrder},
        FailureCase{"HoursWrappingOntoThemselves", {{}, {}, {}, RawPair{0, 172'800}}, kHoursOrder},
        FailureCase{
            "HoursStartAboveBound", {{}, {}, {}, RawPair{kMaxSeconds + 1, 5}}, kSecondsBound},
        FailureCase{"HoursFrom2To63", {{}, {}, {}, RawPair{1, kTwoTo63}}, kSecondsBound},
        // Matrix before jobs before windows before hours.
        FailureCase{"MatrixFirst",
                    {RawMatrix{{kMaxSeconds + 1}}, std::vector<std::uint64_t>{kAllOnes},
                     RawWindows{{{2, 1}}}, RawPair{72'000, 7'200}},
                    kSecondsBound},
        FailureCase{"WindowsBeforeHours",
                    {RawMatrix{{0}}, std::vector<std::uint64_t>{0}, RawWindows{{{0, 1}}, {{2, 1}}},
                     RawPair{72'000, 7'200}},
                    kWindowOrder}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

TEST(FromArgumentsTest, BoundaryValuesAreAccepted) {
  const auto scheduler = convert({RawMatrix{{kMaxSeconds}}, std::vector<std::uint64_t>{kMaxSeconds},
                                  RawWindows{{{kMaxUnix, kMaxUnix}}}, RawPair{28'800, 61'200}});
  ASSERT_TRUE(scheduler.has_value());
  EXPECT_EQ(scheduler->job_durations[0].seconds(), static_cast<std::int64_t>(kMaxSeconds));
  EXPECT_EQ(scheduler->time_windows[0].windows[0].end.unix_seconds(),
            static_cast<std::int64_t>(kMaxUnix));
  EXPECT_EQ(scheduler->operation_times->daily_start.seconds_since_midnight(), 28'800);
  EXPECT_EQ(scheduler->operation_times->daily_end.seconds_since_midnight(), 61'200);
}

TEST(FromArgumentsTest, SchedulerNeedsAllThreeTimeLists) {
  const RawMatrix durations{{0}};
  const std::vector<std::uint64_t> jobs{1};
  const RawWindows windows{{{0, 10}}};
  EXPECT_TRUE(convert({durations, jobs, windows, {}}).has_value());
  EXPECT_FALSE(convert({{}, jobs, windows, RawPair{0, 3'600}}).has_value());
  EXPECT_FALSE(convert({durations, {}, windows, {}}).has_value());
  EXPECT_FALSE(convert({durations, jobs, {}, {}}).has_value());
  // Bad values in given arguments fail even when no scheduler would be built.
  EXPECT_FAILURE(convert({{}, {}, {}, RawPair{72'000, 7'200}}), kHoursOrder);
}

struct HoursCase {
  RawPair input;
  std::optional<std::pair<int, int>> expected;  // seconds since midnight; nullopt: always open
};

class OperationHoursInputTest : public ::testing::TestWithParam<HoursCase> {};

TEST_P(OperationHoursInputTest, ReducesToTimesOfDay) {
  const auto scheduler =
      convert({RawMatrix{}, std::vector<std::uint64_t>{}, RawWindows{}, GetParam().input});
  ASSERT_TRUE(scheduler.has_value());
  const auto& hours = scheduler->operation_times;
  if (!GetParam().expected) {
    EXPECT_FALSE(hours.has_value());
    return;
  }
  ASSERT_TRUE(hours.has_value());
  EXPECT_EQ(hours->daily_start.seconds_since_midnight(), GetParam().expected->first);
  EXPECT_EQ(hours->daily_end.seconds_since_midnight(), GetParam().expected->second);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OperationHoursInputTest,
    ::testing::Values(HoursCase{{28'800, 61'200}, std::pair{28'800, 61'200}},
                      HoursCase{{90'000, 100'000}, std::pair{3'600, 13'600}},
                      HoursCase{{0, 86'400}, std::nullopt},
                      HoursCase{{3'600, 90'000}, std::nullopt}, HoursCase{{5, 5}, std::nullopt},
                      // A one-day span modulo 2^64 is "always open", unchecked.
                      HoursCase{{kAllOnes, 86'399}, std::nullopt},
                      HoursCase{{kAllOnes - 5, kAllOnes - 5}, std::nullopt}));

TEST(FromArgumentsTest, ListsKeepTheirShapesAndEmptyWindowListsAreAccepted) {
  const auto scheduler = convert({RawMatrix{{1, 2, 3}, {4}},
                                  std::vector<std::uint64_t>{5, 6, 7, 8},
                                  RawWindows{{}, {{1, 2}, {3, 4}}},
                                  {}});
  ASSERT_TRUE(scheduler.has_value());
  EXPECT_EQ(scheduler->duration_matrix[0].size(), 3u);
  EXPECT_EQ(scheduler->duration_matrix[1].size(), 1u);
  EXPECT_EQ(scheduler->job_durations.size(), 4u);
  EXPECT_TRUE(scheduler->time_windows[0].windows.empty());
  EXPECT_EQ(scheduler->time_windows[1].windows.size(), 2u);
  EXPECT_EQ(scheduler->travel_duration(0, 2).seconds(), 3);
  // The row is checked before the column.
  EXPECT_FAILURE(scheduler->travel_duration(1, 1), index_message(1, 1));
  EXPECT_FAILURE(scheduler->travel_duration(2, 5), index_message(2, 2));
}

}  // namespace
}  // namespace tourwright
