#include "penalties/time/time_windows.hpp"

#include <optional>
#include <string>
#include <vector>

#include "messages.hpp"
#include "test_support.hpp"

namespace tourwright {
namespace {

using testing::at;
using testing::hours;
using testing::minutes;
using testing::seconds;

TimeWindow window(DateTime start, DateTime end) { return TimeWindow::make(start, end); }

struct LookupCase {
  std::string name;
  std::vector<TimeWindow> windows;
  DateTime t;
  std::optional<std::size_t> expected_position;  // nullopt: nothing left
  Duration expected_wait;
};

class NextWindowTest : public ::testing::TestWithParam<LookupCase> {};

TEST_P(NextWindowTest, FindsTheWindowAndTheWait) {
  const LookupCase& c = GetParam();
  const TimeWindows list{c.windows};
  const auto found = list.next_window(c.t);
  if (!c.expected_position) {
    EXPECT_FALSE(found.has_value());
    return;
  }
  ASSERT_TRUE(found.has_value());
  // The result refers into the list itself.
  EXPECT_EQ(found->window, &list.windows[*c.expected_position]);
  EXPECT_EQ(found->wait, c.expected_wait);
}

const std::vector<TimeWindow> kMorningAfternoon{window(at(0, 9), at(0, 12)),
                                                window(at(0, 14), at(0, 17))};
const std::vector<TimeWindow> kWithZeroLength{
    window(at(0, 9), at(0, 12)), window(at(0, 13), at(0, 13)), window(at(0, 14), at(0, 17))};
const std::vector<TimeWindow> kReversed{window(at(0, 14), at(0, 17)), window(at(0, 9), at(0, 12))};
const std::vector<TimeWindow> kTouching{window(at(0, 9), at(0, 10)), window(at(0, 10), at(0, 11))};
const std::vector<TimeWindow> kRepeatedStarts{
    window(at(0, 9), at(0, 9)), window(at(0, 9), at(0, 10)), window(at(0, 9), at(0, 11))};
const Duration kZero = Duration::zero();

INSTANTIATE_TEST_SUITE_P(
    Cases, NextWindowTest,
    ::testing::Values(
        LookupCase{"BeforeFirst", kMorningAfternoon, at(0, 8), 0, hours(1)},
        LookupCase{"AtFirstStart", kMorningAfternoon, at(0, 9), 0, kZero},
        LookupCase{"AtFirstEndIncluded", kMorningAfternoon, at(0, 12), 0, kZero},
        LookupCase{"InGap", kMorningAfternoon, at(0, 12, 0, 1), 1,
                   hours(1) + minutes(59) + seconds(59)},
        LookupCase{"OneNanosecondIntoGap", kMorningAfternoon,
                   at(0, 12) + Duration::from_nanoseconds(1), 1,
                   hours(2) - Duration::from_nanoseconds(1)},
        LookupCase{"AtLastEndIncluded", kMorningAfternoon, at(0, 17), 1, kZero},
        LookupCase{"AfterLast", kMorningAfternoon, at(0, 17, 0, 1), std::nullopt, kZero},
        LookupCase{"Empty", {}, at(0, 12), std::nullopt, kZero},
        LookupCase{"ZeroLengthExactly", kWithZeroLength, at(0, 13), 1, kZero},
        LookupCase{"BeforeZeroLength", kWithZeroLength, at(0, 12, 30), 1, minutes(30)},
        LookupCase{"AfterZeroLength", kWithZeroLength, at(0, 13, 0, 1), 2,
                   minutes(59) + seconds(59)},
        // Only the window listed last decides whether anything is left.
        LookupCase{"ReversedListGap", kReversed, at(0, 13), std::nullopt, kZero},
        LookupCase{"TouchingWindowsPreferTheLater", kTouching, at(0, 10), 1, kZero},
        LookupCase{"RepeatedStartsGiveTheLast", kRepeatedStarts, at(0, 9), 2, kZero}),
    [](const ::testing::TestParamInfo<LookupCase>& info) { return info.param.name; });

TEST(TimeWindowTest, StartAfterEndCannotBeMade) {
  EXPECT_FAILURE(TimeWindow::make(at(0, 10, 0, 1), at(0, 10)), messages::kWindowStartAfterEnd);
  EXPECT_EQ(TimeWindow::make(at(0, 10), at(0, 10)).start, at(0, 10));
}

TEST(TimeWindowTest, EntriesWithIdenticalBoundsCompareEqual) {
  const std::vector<TimeWindow> twins{window(at(0, 9), at(0, 10)), window(at(0, 9), at(0, 10))};
  EXPECT_EQ(twins[0], twins[1]);
  EXPECT_NE(twins[0], window(at(0, 9), at(0, 11)));
}

}  // namespace
}  // namespace tourwright
