#include "penalties/time/operation_times.hpp"

#include "messages.hpp"
#include "test_support.hpp"

namespace tourwright {
namespace {

using testing::hours;
using testing::minutes;
using testing::seconds;

TimeOfDay clock(int hour, int minute = 0, int second = 0, int nanos = 0) {
  return TimeOfDay::from_parts(hour * 3'600 + minute * 60 + second, nanos);
}

struct WaitCase {
  TimeOfDay h;
  Duration expected;
};

class OfficeHoursTest : public ::testing::TestWithParam<WaitCase> {};

TEST_P(OfficeHoursTest, WaitsUntilOperationResumes) {
  const OperationTimes office = OperationTimes::make(clock(8), clock(17));
  EXPECT_EQ(office.waiting_time(GetParam().h), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    EightToFive, OfficeHoursTest,
    ::testing::Values(WaitCase{clock(0), hours(8)}, WaitCase{clock(7, 59, 59), seconds(1)},
                      WaitCase{clock(7, 59, 59, 999'999'999), Duration::from_nanoseconds(1)},
                      WaitCase{clock(8), Duration::zero()},
                      WaitCase{clock(16, 59, 59), Duration::zero()}, WaitCase{clock(17), hours(15)},
                      WaitCase{clock(17, 0, 1), hours(14) + minutes(59) + seconds(59)},
                      WaitCase{clock(23, 59, 59), hours(8) + seconds(1)}));

TEST(OperationTimesTest, ClosingInstantIsExcludedEvenAtTheEndOfTheDay) {
  const OperationTimes almost_all_day = OperationTimes::make(clock(0), clock(23, 59, 59));
  EXPECT_EQ(almost_all_day.waiting_time(clock(23, 59, 59)), seconds(1));
  const OperationTimes first_second = OperationTimes::make(clock(0), clock(0, 0, 1));
  EXPECT_EQ(first_second.waiting_time(clock(0)), Duration::zero());
  EXPECT_EQ(first_second.waiting_time(clock(0, 0, 1)), hours(23) + minutes(59) + seconds(59));
}

TEST(OperationTimesTest, OpeningMustPrecedeClosingWithinTheDay) {
  const char* message = messages::kHoursStartNotBeforeEnd;
  EXPECT_FAILURE(OperationTimes::make(clock(20), clock(2)), message);
  EXPECT_FAILURE(OperationTimes::make(clock(8), clock(8)), message);
}

}  // namespace
}  // namespace tourwright
