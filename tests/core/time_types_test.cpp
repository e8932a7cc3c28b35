#include <cstdint>
#include <limits>

#include "messages.hpp"
#include "test_support.hpp"
#include "time/date_time.hpp"
#include "time/duration.hpp"
#include "time/time_of_day.hpp"

namespace tourwright {
namespace {

using testing::seconds;

constexpr std::int64_t kMaxSeconds = 9'223'372'036'854'775;
constexpr std::int64_t kNanos = 1'000'000'000;

TEST(DurationTest, WholeSecondsAreAcceptedUpToTheMillisecondBound) {
  EXPECT_EQ(Duration::from_seconds(kMaxSeconds).seconds(), kMaxSeconds);
  EXPECT_EQ(Duration::from_seconds(-kMaxSeconds).seconds(), -kMaxSeconds);
  EXPECT_FAILURE(Duration::from_seconds(kMaxSeconds + 1), messages::kSecondsOutOfBounds);
  EXPECT_FAILURE(Duration::from_seconds(-kMaxSeconds - 1), messages::kSecondsOutOfBounds);
  EXPECT_FAILURE(Duration::from_seconds(std::numeric_limits<std::int64_t>::min()),
                 messages::kSecondsOutOfBounds);
}

TEST(DurationTest, RangeEndsAreExactToTheMillisecond) {
  EXPECT_EQ(Duration::max().seconds(), kMaxSeconds);
  EXPECT_EQ(Duration::max().subsec_nanos(), 807'000'000);
  // The minimum is the exact negation of the maximum.
  EXPECT_EQ(Duration::min().seconds(), -kMaxSeconds - 1);
  EXPECT_EQ(Duration::min().subsec_nanos(), 193'000'000);
  EXPECT_EQ(Duration::zero() - Duration::max(), Duration::min());
}

TEST(DurationTest, SumsAndDifferencesFailExactlyWhenLeavingTheRange) {
  const Duration ns = Duration::from_nanoseconds(1);
  const Duration below_max = Duration::max() - ns;
  EXPECT_EQ(below_max + ns, Duration::max());
  EXPECT_FAILURE(Duration::max() + ns, messages::kDurationSumOverflow);
  EXPECT_FAILURE(Duration::min() + (Duration::zero() - ns), messages::kDurationSumOverflow);
  EXPECT_EQ((Duration::min() + ns) - ns, Duration::min());
  EXPECT_FAILURE(Duration::min() - ns, messages::kDurationDifferenceOverflow);
  EXPECT_EQ(Duration::zero() - Duration::min(), Duration::max());
  EXPECT_FAILURE(Duration::from_nanoseconds(-1) - Duration::max() - Duration::max(),
                 messages::kDurationDifferenceOverflow);
  EXPECT_FAILURE(seconds(kMaxSeconds) + seconds(1), messages::kDurationSumOverflow);
}

struct NanosCase {
  std::int64_t a_nanos;
  std::int64_t b_nanos;
  std::int64_t sum_seconds;
  std::int32_t sum_subsec;
};

class DurationCarryTest : public ::testing::TestWithParam<NanosCase> {};

TEST_P(DurationCarryTest, NanosecondPartStaysNormalised) {
  const NanosCase& c = GetParam();
  const Duration sum =
      Duration::from_nanoseconds(c.a_nanos) + Duration::from_nanoseconds(c.b_nanos);
  EXPECT_EQ(sum.seconds(), c.sum_seconds);
  EXPECT_EQ(sum.subsec_nanos(), c.sum_subsec);
  // Subtracting brings the operand back.
  EXPECT_EQ(sum - Duration::from_nanoseconds(c.b_nanos), Duration::from_nanoseconds(c.a_nanos));
}

INSTANTIATE_TEST_SUITE_P(Carries, DurationCarryTest,
                         ::testing::Values(NanosCase{999'999'999, 1, 1, 0},
                                           NanosCase{600'000'000, 600'000'000, 1, 200'000'000},
                                           NanosCase{-1, 0, -1, 999'999'999},
                                           NanosCase{-1, 2, 0, 1}, NanosCase{-kNanos - 1, 1, -1, 0},
                                           NanosCase{-1'500'000'000, 0, -2, 500'000'000}));

TEST(DurationTest, NegativeDurationsOrderBySecondsThenNanoseconds) {
  const Duration minus_half = Duration::from_nanoseconds(-500'000'000);  // (-1 s, 0.5e9 ns)
  const Duration minus_one = seconds(-1);
  const Duration minus_tiny = Duration::from_nanoseconds(-1);
  EXPECT_LT(minus_one, minus_half);
  EXPECT_LT(minus_half, minus_tiny);
  EXPECT_LT(minus_tiny, Duration::zero());
  EXPECT_FALSE(minus_tiny.is_positive());
  EXPECT_TRUE(Duration::from_nanoseconds(1).is_positive());
}

TEST(DurationTest, WholeSecondsTruncateTowardZero) {
  EXPECT_EQ(Duration::from_nanoseconds(-1'500'000'000).whole_seconds(), -1);
  EXPECT_EQ(Duration::from_nanoseconds(1'500'000'000).whole_seconds(), 1);
  EXPECT_EQ(seconds(-2).whole_seconds(), -2);
}

TEST(DateTimeTest, RangeEndsMatchTheCalendar) {
  // 262142-12-31T23:59:59 and -262143-01-01T00:00:00 (the latter is 656
  // Gregorian cycles of 146,097 days before 0257-01-01).
  EXPECT_EQ(DateTime::kMaxUnixSeconds, 8'210'266'876'799);
  EXPECT_EQ(DateTime::kMinUnixSeconds, -8'334'601'228'800);
  EXPECT_EQ(days_from_civil(1970, 1, 1), 0);
  EXPECT_EQ(days_from_civil(1969, 12, 31), -1);
  EXPECT_EQ(days_from_civil(2000, 3, 1), 11'017);
  EXPECT_EQ(days_from_civil(9999, 12, 31), 2'932'896);
}

TEST(DateTimeTest, UnixInputIsReadAsAnUnsignedNumber) {
  EXPECT_EQ(DateTime::from_unix_seconds(0), DateTime::unix_epoch());
  EXPECT_EQ(DateTime::from_unix_seconds(8'210'266'876'799).unix_seconds(), 8'210'266'876'799);
  const char* unwrap = messages::kUnwrapNone;
  EXPECT_FAILURE(DateTime::from_unix_seconds(8'210'266'876'800), unwrap);
  EXPECT_FAILURE(DateTime::from_unix_seconds(std::uint64_t{1} << 63), unwrap);
  EXPECT_FAILURE(DateTime::from_unix_seconds(std::numeric_limits<std::uint64_t>::max()), unwrap);
}

TEST(DateTimeTest, AddingAndSubtractingFailOutsideTheRange) {
  const Duration ns = Duration::from_nanoseconds(1);
  EXPECT_EQ(DateTime::max() - DateTime::max(), Duration::zero());
  EXPECT_FAILURE(DateTime::max() + ns, messages::kDateTimeSumOverflow);
  EXPECT_FAILURE(DateTime::min() - ns, messages::kDateTimeDifferenceOverflow);
  EXPECT_FAILURE(DateTime::min() + (Duration::zero() - ns), messages::kDateTimeSumOverflow);
  EXPECT_FAILURE(DateTime::unix_epoch() + Duration::max(), messages::kDateTimeSumOverflow);
  EXPECT_EQ((DateTime::max() - ns) + ns, DateTime::max());
  // The whole span of the type is a valid duration.
  const Duration span = DateTime::max() - DateTime::min();
  EXPECT_EQ(DateTime::min() + span, DateTime::max());
}

TEST(DateTimeTest, UnixSecondsRoundDownAndTimeOfDayIsUtcClockTime) {
  const DateTime before_epoch = DateTime::unix_epoch() + Duration::from_nanoseconds(-1);
  EXPECT_EQ(before_epoch.unix_seconds(), -1);
  EXPECT_EQ(before_epoch.time_of_day(), TimeOfDay::from_parts(86'399, 999'999'999));
  const DateTime sub_second = DateTime::unix_epoch() + Duration::from_nanoseconds(1'700'000'000);
  EXPECT_EQ(sub_second.unix_seconds(), 1);
  EXPECT_EQ(sub_second.time_of_day(), TimeOfDay::from_parts(1, 700'000'000));
  EXPECT_EQ(DateTime::from_unix_seconds(86'400 * 3 + 61).time_of_day(),
            TimeOfDay::from_parts(61, 0));
  EXPECT_EQ(DateTime::min().time_of_day(), TimeOfDay::from_parts(0, 0));
}

TEST(TimeOfDayTest, InputDropsWholeDaysAndDifferencesAreSigned) {
  EXPECT_EQ(TimeOfDay::from_seconds_since_midnight(90'000), TimeOfDay::from_parts(3'600, 0));
  EXPECT_EQ(TimeOfDay::from_seconds_since_midnight(86'400), TimeOfDay::from_parts(0, 0));
  const TimeOfDay eight = TimeOfDay::from_parts(8 * 3'600, 0);
  const TimeOfDay almost_eight = TimeOfDay::from_parts(8 * 3'600 - 1, 999'999'999);
  EXPECT_EQ(eight - almost_eight, Duration::from_nanoseconds(1));
  EXPECT_EQ(almost_eight - eight, Duration::from_nanoseconds(-1));
}

}  // namespace
}  // namespace tourwright
