#include "penalties/time/time_output.hpp"

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "messages.hpp"
#include "test_support.hpp"

namespace tourwright {
namespace {

using testing::at;
using testing::hours;
using testing::index_message;
using testing::minutes;
using testing::seconds;

using Kind = Event::Kind;

Event work(DateTime start, DateTime end, std::uint32_t location = 7) {
  return {Kind::Work, location, {start, end}};
}
Event wait(DateTime start, DateTime end) { return {Kind::Wait, 0, {start, end}}; }
Event travel(DateTime start, DateTime end) { return {Kind::Travel, 0, {start, end}}; }

TimeWindows windows(std::vector<std::pair<DateTime, DateTime>> bounds) {
  TimeWindows list;
  for (auto [start, end] : bounds) list.windows.push_back(TimeWindow::make(start, end));
  return list;
}

std::optional<OperationTimes> office_hours() {
  return OperationTimes::make(TimeOfDay::from_parts(8 * 3'600, 0),
                              TimeOfDay::from_parts(17 * 3'600, 0));
}

struct ActionCase {
  std::string name;
  Duration action;
  std::optional<TimeWindows> windows;
  std::optional<OperationTimes> hours;
  DateTime start;
  bool is_travel;
  EventList events;
  Duration lateness;
  Duration working;
  Duration waiting;
  Duration traveling;
};

void expect_report(const ActionCase& c, const TimeReport& report) {
  EXPECT_EQ(report.events, c.events);
  EXPECT_EQ(report.lateness, c.lateness);
  EXPECT_EQ(report.working_time, c.working);
  EXPECT_EQ(report.waiting_time, c.waiting);
  EXPECT_EQ(report.traveling_time, c.traveling);
  EXPECT_EQ(report.start_time, c.start);
  EXPECT_EQ(report.duration, report.working_time + report.waiting_time + report.traveling_time);
  EXPECT_EQ(report.end_time, c.start + report.duration);
}

class ActionReportTest : public ::testing::TestWithParam<ActionCase> {};

TEST_P(ActionReportTest, PlacesTheActionInTime) {
  const ActionCase& c = GetParam();
  const TimeWindows* location_windows = c.windows ? &*c.windows : nullptr;
  const OperationTimes* hours = c.hours ? &*c.hours : nullptr;
  const std::optional<std::size_t> location =
      c.is_travel ? std::nullopt : std::optional<std::size_t>(7);
  expect_report(
      c, action_report(c.action, location_windows, hours, c.start, c.is_travel, location, true));
  // Without events, everything but the events list is the same, also when
  // runs of whole days are taken at once.
  ActionCase silent = c;
  silent.events.clear();
  expect_report(silent, action_report(c.action, location_windows, hours, c.start, c.is_travel,
                                      location, false));
  const ActionShortcuts whole_days{nullptr, c.windows && listed_in_order(c.windows->windows), true};
  expect_report(silent, action_report(c.action, location_windows, hours, c.start, c.is_travel,
                                      location, false, whole_days));
}

std::optional<OperationTimes> three_hours_a_day() {
  return OperationTimes::make(TimeOfDay::from_parts(10 * 3'600, 0),
                              TimeOfDay::from_parts(13 * 3'600, 0));
}

const Duration kZero = Duration::zero();
const TimeWindows kTwoDays = windows({{at(0, 0), at(2, 0)}});
const TimeWindows kMorningAfternoon = windows({{at(0, 9), at(0, 12)}, {at(0, 14), at(0, 17)}});
const TimeWindows kMorning = windows({{at(0, 9), at(0, 12)}});

INSTANTIATE_TEST_SUITE_P(
    Cases, ActionReportTest,
    ::testing::Values(ActionCase{"JobSplitAtClosingTime",
                                 hours(3),
                                 kTwoDays,
                                 office_hours(),
                                 at(0, 16),
                                 false,
                                 {work(at(0, 16), at(0, 17)), wait(at(0, 17), at(1, 8)),
                                  work(at(1, 8), at(1, 10))},
                                 kZero,
                                 hours(3),
                                 hours(15),
                                 kZero},
                      ActionCase{"ArrivalBeforeFirstWindow",
                                 hours(1),
                                 kMorningAfternoon,
                                 std::nullopt,
                                 at(0, 8),
                                 false,
                                 {wait(at(0, 8), at(0, 9)), work(at(0, 9), at(0, 10))},
                                 kZero,
                                 hours(1),
                                 hours(1),
                                 kZero},
                      // Ending in the gap: one wait up to the next window's start.
                      ActionCase{"PushedBackIntoTheGap",
                                 hours(2),
                                 kMorningAfternoon,
                                 std::nullopt,
                                 at(0, 11),
                                 false,
                                 {wait(at(0, 11), at(0, 14)), work(at(0, 14), at(0, 16))},
                                 kZero,
                                 hours(2),
                                 hours(3),
                                 kZero},
                      // Ending inside the later window: pushed back by exactly its own length,
                      // then looked up again; from 15:00 it runs past the last window.
                      ActionCase{"PushedBackByItsOwnLength",
                                 hours(4),
                                 kMorningAfternoon,
                                 std::nullopt,
                                 at(0, 11),
                                 false,
                                 {wait(at(0, 11), at(0, 15)), work(at(0, 15), at(0, 19))},
                                 hours(2),
                                 hours(4),
                                 hours(4),
                                 kZero},
                      ActionCase{"ArrivalAfterLastWindow",
                                 hours(1),
                                 kMorningAfternoon,
                                 std::nullopt,
                                 at(0, 18),
                                 false,
                                 {work(at(0, 18), at(0, 19))},
                                 hours(2),
                                 hours(1),
                                 kZero,
                                 kZero},
                      ActionCase{"ZeroLengthJobAfterLastWindow",
                                 kZero,
                                 kMorningAfternoon,
                                 office_hours(),
                                 at(0, 18),
                                 false,
                                 {},
                                 kZero,
                                 kZero,
                                 kZero,
                                 kZero},
                      ActionCase{"EndsExactlyAtWindowEnd",
                                 hours(1),
                                 kMorning,
                                 std::nullopt,
                                 at(0, 11),
                                 false,
                                 {work(at(0, 11), at(0, 12))},
                                 kZero,
                                 hours(1),
                                 kZero,
                                 kZero},
                      ActionCase{"EndsOneSecondLateWithNoLaterWindow",
                                 hours(1) + seconds(1),
                                 kMorning,
                                 std::nullopt,
                                 at(0, 11),
                                 false,
                                 {work(at(0, 11), at(0, 12, 0, 1))},
                                 seconds(1),
                                 hours(1) + seconds(1),
                                 kZero,
                                 kZero},
                      // After waiting for the window, no window is left at the end: the job
                      // proceeds from the window's start and is late against its end.
                      ActionCase{"WaitedThenTooLongForTheLastWindow",
                                 hours(5),
                                 kMorning,
                                 std::nullopt,
                                 at(0, 8),
                                 false,
                                 {wait(at(0, 8), at(0, 9)), work(at(0, 9), at(0, 14))},
                                 hours(2),
                                 hours(5),
                                 hours(1),
                                 kZero},
                      ActionCase{"ClosingInstantCountsAsClosed",
                                 hours(1),
                                 std::nullopt,
                                 office_hours(),
                                 at(0, 17),
                                 true,
                                 {wait(at(0, 17), at(1, 8)), travel(at(1, 8), at(1, 9))},
                                 kZero,
                                 kZero,
                                 hours(15),
                                 hours(1)},
                      ActionCase{"TravelIsSplitByOperatingHours",
                                 hours(3),
                                 std::nullopt,
                                 office_hours(),
                                 at(0, 16),
                                 true,
                                 {travel(at(0, 16), at(0, 17)), wait(at(0, 17), at(1, 8)),
                                  travel(at(1, 8), at(1, 10))},
                                 kZero,
                                 kZero,
                                 hours(15),
                                 hours(3)},
                      // A window wait and an opening-hours wait merge into one event.
                      ActionCase{"ConsecutiveWaitsMerge",
                                 hours(1),
                                 windows({{at(0, 7), at(0, 20)}}),
                                 office_hours(),
                                 at(0, 6),
                                 false,
                                 {wait(at(0, 6), at(0, 8)), work(at(0, 8), at(0, 9))},
                                 kZero,
                                 hours(1),
                                 hours(2),
                                 kZero},
                      // Day 2 opens inside the first window, but the job's end
                      // looked up from there falls after it: pushed back mid-job.
                      ActionCase{"PushedBackAfterWholeDays",
                                 hours(12),
                                 windows({{at(0, 10), at(2, 12)}, {at(7, 10), at(20, 0)}}),
                                 three_hours_a_day(),
                                 at(0, 10),
                                 false,
                                 {work(at(0, 10), at(0, 13)), wait(at(0, 13), at(1, 10)),
                                  work(at(1, 10), at(1, 13)), wait(at(1, 13), at(7, 10)),
                                  work(at(7, 10), at(7, 13)), wait(at(7, 13), at(8, 10)),
                                  work(at(8, 10), at(8, 13))},
                                 kZero,
                                 hours(12),
                                 hours(183),
                                 kZero},
                      // Overlapping and repeated windows: the lookups follow the
                      // list, not the calendar.
                      ActionCase{"WholeDaysInWindowsOutOfOrder",
                                 hours(27),
                                 windows({{at(2, 12), at(6, 0)},
                                          {at(3, 6), at(5, 18)},
                                          {at(3, 12), at(3, 18)},
                                          {at(2, 12), at(6, 0)}}),
                                 three_hours_a_day(),
                                 at(1, 10),
                                 false,
                                 {wait(at(1, 10), at(2, 12)),   work(at(2, 12), at(2, 13)),
                                  wait(at(2, 13), at(4, 12)),   work(at(4, 12), at(4, 13)),
                                  wait(at(4, 13), at(5, 10)),   work(at(5, 10), at(5, 13)),
                                  wait(at(5, 13), at(6, 10)),   work(at(6, 10), at(6, 13)),
                                  wait(at(6, 13), at(7, 10)),   work(at(7, 10), at(7, 13)),
                                  wait(at(7, 13), at(8, 10)),   work(at(8, 10), at(8, 13)),
                                  wait(at(8, 13), at(9, 10)),   work(at(9, 10), at(9, 13)),
                                  wait(at(9, 13), at(10, 10)),  work(at(10, 10), at(10, 13)),
                                  wait(at(10, 13), at(11, 10)), work(at(11, 10), at(11, 13)),
                                  wait(at(11, 13), at(12, 10)), work(at(12, 10), at(12, 13)),
                                  wait(at(12, 13), at(13, 10)), work(at(13, 10), at(13, 11))},
                                 hours(179),
                                 hours(27),
                                 hours(262),
                                 kZero},
                      ActionCase{"NegativeLengthDoesNothing",
                                 kZero - hours(1),
                                 kMorning,
                                 office_hours(),
                                 at(0, 3),
                                 false,
                                 {},
                                 kZero,
                                 kZero,
                                 kZero,
                                 kZero}),
    [](const ::testing::TestParamInfo<ActionCase>& info) { return info.param.name; });

TEST(ActionReportTest, OverflowsAreReportedWithTheirMessages) {
  const TimeWindows late = windows({{DateTime::max() - hours(1), DateTime::max()}});
  EXPECT_FAILURE(
      action_report(hours(2), &late, nullptr, DateTime::max() - hours(1), false, 7, false),
      messages::kDateTimeSumOverflow);
  EXPECT_FAILURE(action_report(Duration::max(), nullptr, nullptr, DateTime::unix_epoch(), true,
                               std::nullopt, false),
                 messages::kDateTimeSumOverflow);
}

// Without events, runs of whole days may be taken at once (ActionShortcuts::whole_days):
// the totals are still those of the day-by-day schedule the events give.
TEST(ActionReportTest, RandomActionsKeepTheInvariantsWithAndWithoutEvents) {
  std::mt19937_64 random(20261208);
  auto uniform = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  for (int round = 0; round < 2'000; ++round) {
    TimeWindows list;
    DateTime cursor = at(0, uniform(0, 12));
    for (int k = uniform(0, 4); k > 0; --k) {
      const DateTime start = cursor + minutes(uniform(0, 600));
      // Now and then a window of days, so that long actions stay in it a while.
      const DateTime end = start + minutes(uniform(0, 300) * (uniform(0, 2) == 0 ? 24 : 1));
      list.windows.push_back(TimeWindow::make(start, end));
      cursor = end;
    }
    std::optional<OperationTimes> hours_of_work;
    if (uniform(0, 1) == 1) {
      const int open = uniform(0, 20 * 60);
      hours_of_work = OperationTimes::make(TimeOfDay::from_parts(open * 60, 0),
                                           TimeOfDay::from_parts((open + uniform(1, 240)) * 60, 0));
    }
    const bool is_travel = uniform(0, 3) == 0;
    const Duration length = minutes(uniform(0, 900)) + seconds(uniform(0, 59));
    const DateTime start = at(0, uniform(0, 23), uniform(0, 59));
    const TimeWindows* location_windows = is_travel ? nullptr : &list;
    const OperationTimes* hours_pointer = hours_of_work ? &*hours_of_work : nullptr;
    const std::optional<std::size_t> location =
        is_travel ? std::nullopt : std::optional<std::size_t>(3);
    SCOPED_TRACE("round " + std::to_string(round));

    const TimeReport recorded =
        action_report(length, location_windows, hours_pointer, start, is_travel, location, true);
    const ActionShortcuts whole_days{nullptr, listed_in_order(list.windows), true};
    const TimeReport silent = action_report(length, location_windows, hours_pointer, start,
                                            is_travel, location, false, whole_days);

    EXPECT_TRUE(silent.events.empty());
    EXPECT_EQ(silent.duration, recorded.duration);
    EXPECT_EQ(silent.lateness, recorded.lateness);
    EXPECT_EQ(silent.working_time, recorded.working_time);
    EXPECT_EQ(silent.waiting_time, recorded.waiting_time);
    EXPECT_EQ(silent.traveling_time, recorded.traveling_time);
    EXPECT_EQ(silent.end_time, recorded.end_time);
    EXPECT_EQ(recorded.duration,
              recorded.working_time + recorded.waiting_time + recorded.traveling_time);
    EXPECT_EQ(recorded.working_time + recorded.traveling_time, length);

    // Events tile the report from start to end without gaps, inside the hours.
    DateTime previous_end = recorded.start_time;
    for (const Event& event : recorded.events) {
      EXPECT_EQ(event.window.start, previous_end);
      EXPECT_LT(event.window.start, event.window.end);
      if (hours_of_work && event.kind != Kind::Wait) {
        EXPECT_EQ(hours_of_work->waiting_time(event.window.start.time_of_day()), Duration::zero());
      }
      previous_end = event.window.end;
    }
    EXPECT_EQ(previous_end, recorded.end_time);
  }
}

TEST(TimeReportTest, ExtendAddsTotalsMovesEventsAndKeepsTheStart) {
  TimeReport first{{hours(1), kZero, hours(1), kZero, kZero, at(0, 9), at(0, 10)},
                   {work(at(0, 9), at(0, 10))}};
  TimeReport second{{hours(2), seconds(5), kZero, hours(1), hours(1), at(0, 10), at(0, 12)},
                    {wait(at(0, 10), at(0, 11)), travel(at(0, 11), at(0, 12))}};
  first.extend(std::move(second));
  EXPECT_EQ(first.events.size(), 3u);
  EXPECT_EQ(first.events.back(), travel(at(0, 11), at(0, 12)));
  EXPECT_EQ(first.duration, hours(3));
  EXPECT_EQ(first.lateness, seconds(5));
  EXPECT_EQ(first.waiting_time, hours(1));
  EXPECT_EQ(first.traveling_time, hours(1));
  EXPECT_EQ(first.start_time, at(0, 9));
  EXPECT_EQ(first.end_time, at(0, 12));
}

TimeScheduler scheduler_for(std::vector<std::vector<Duration>> durations,
                            std::vector<Duration> jobs, std::vector<TimeWindows> location_windows,
                            std::optional<OperationTimes> hours = std::nullopt) {
  return TimeScheduler{std::move(durations), std::move(jobs), std::move(location_windows), hours};
}

TEST(RouteScheduleTest, WorksThenTravelsAndClosesTheTour) {
  const TimeScheduler scheduler =
      scheduler_for({{kZero, hours(1)}, {hours(2), kZero}}, {hours(1), hours(1)},
                    {windows({{at(0, 8), at(0, 20)}}), windows({{at(0, 12), at(0, 13)}})});
  const TimeReport report = route_schedule(scheduler, {0, 1}, true);
  const EventList expected{work(at(0, 8), at(0, 9), 0), travel(at(0, 9), at(0, 10)),
                           wait(at(0, 10), at(0, 12)), work(at(0, 12), at(0, 13), 1),
                           travel(at(0, 13), at(0, 15))};
  EXPECT_EQ(report.events, expected);
  EXPECT_EQ(report.start_time, at(0, 8));
  EXPECT_EQ(report.end_time, at(0, 15));
  EXPECT_EQ(report.traveling_time, hours(3));
  EXPECT_EQ(report.duration, hours(7));
}

TEST(RouteScheduleTest, OneLocationWorksAndTravelsToItself) {
  const TimeScheduler scheduler =
      scheduler_for({{minutes(5)}}, {hours(1)}, {windows({{at(0, 8), at(0, 20)}})});
  const TimeReport report = route_schedule(scheduler, {0}, true);
  EXPECT_EQ(report.events, (EventList{work(at(0, 8), at(0, 9), 0), travel(at(0, 9), at(0, 9, 5))}));
}

struct ScheduleFailureCase {
  std::string name;
  std::vector<std::size_t> route;
  std::string message;
};

class RouteScheduleFailureTest : public ::testing::TestWithParam<ScheduleFailureCase> {};

TEST_P(RouteScheduleFailureTest, LookupsBeyondAListFail) {
  // Location 1 has no windows; location 2 has windows but no job duration;
  // location 3 is beyond the window list; row 0 of the matrix is short.
  const TimeScheduler scheduler = scheduler_for(
      {{kZero}, {kZero, kZero}}, {hours(1), hours(1)},
      {windows({{at(0, 8), at(0, 9)}}), windows({}), windows({{at(0, 8), at(0, 9)}})});
  EXPECT_FAILURE(route_schedule(scheduler, GetParam().route, false), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RouteScheduleFailureTest,
    ::testing::Values(
        ScheduleFailureCase{"EmptyRoute", {}, index_message(0, 0)},
        ScheduleFailureCase{"NoWindowsAtTheFirstLocation", {1, 0}, index_message(0, 0)},
        ScheduleFailureCase{"FirstLocationBeyondTheWindowList", {3, 0}, index_message(3, 3)},
        ScheduleFailureCase{"BeyondJobDurations", {2, 0}, index_message(2, 2)},
        ScheduleFailureCase{"ShortDurationRow", {0, 1}, index_message(1, 1)}),
    [](const ::testing::TestParamInfo<ScheduleFailureCase>& info) { return info.param.name; });

}  // namespace
}  // namespace tourwright
