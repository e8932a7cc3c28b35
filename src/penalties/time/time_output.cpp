#include "penalties/time/time_output.hpp"

#include <algorithm>
#include <iterator>

#include "failure.hpp"
#include "messages.hpp"
#include "penalties/time/schedule_rules.hpp"
#include "penalties/time/tour_walk.hpp"

namespace tourwright {

void TimeTotals::extend(const TimeTotals& other) {
  end_time = other.end_time;
  duration += other.duration;
  lateness += other.lateness;
  working_time += other.working_time;
  waiting_time += other.waiting_time;
  traveling_time += other.traveling_time;
}

void TimeReport::extend(TimeReport&& other) {
  TimeTotals::extend(other);
  events.insert(events.end(), std::make_move_iterator(other.events.begin()),
                std::make_move_iterator(other.events.end()));
}

namespace {

// The rules' questions answered on checked date-times and durations.
class LiteralClock {
 public:
  using Time = DateTime;
  using Span = Duration;

  LiteralClock(const TimeWindows* windows, const OperationTimes* hours)
      : windows_(windows), hours_(hours) {}

  std::optional<WindowLookup> next_window(DateTime t) const {
    if (windows_ == nullptr) return std::nullopt;
    return windows_->next_window(t);
  }
  bool same_window(const WindowLookup& a, const WindowLookup& b) const {
    return *a.window == *b.window;
  }
  std::size_t index_of(const WindowLookup& found) const {
    return static_cast<std::size_t>(found.window - windows_->windows.data());
  }
  // Known for the whole job from the start of a window whose start finds it.
  std::optional<Settled<DateTime, Duration>> settled_from(const WindowLookup& found, DateTime t,
                                                          Duration remaining) const {
    if (windows_ == nullptr || windows_->settled.empty() || remaining != windows_->settled_job ||
        t != found.window->start)
      return std::nullopt;
    return windows_->settled[index_of(found)];
  }
  Duration until_open(DateTime t) const {
    return hours_ != nullptr ? hours_->waiting_time(t.time_of_day()) : Duration::zero();
  }
  std::optional<Duration> until_closing(DateTime t) const {
    if (hours_ == nullptr) return std::nullopt;
    return hours_->daily_end - t.time_of_day();
  }
  std::optional<DateTime> last_window_end() const {
    if (windows_ == nullptr || windows_->windows.empty()) return std::nullopt;
    return windows_->windows.back().end;
  }
  // Runs of whole days are allowed only where no schedule can overflow, so
  // the spans of a run fit 64-bit nanosecond counts.
  std::optional<Duration> whole_day_opening() const {
    if (hours_ == nullptr || !hours_->whole_days) return std::nullopt;
    return hours_->daily_end - hours_->daily_start;
  }
  bool in_order() const { return windows_ != nullptr && windows_->in_order; }
  bool last_listed(const WindowLookup& found) const {
    return found.window == &windows_->windows.back();
  }
  static std::int64_t count_of(Duration d) {
    return d.seconds() * Duration::kNanosPerSecond + d.subsec_nanos();
  }
  static Duration span_of(std::int64_t nanoseconds) {
    return Duration::from_nanoseconds(nanoseconds);
  }

 private:
  const TimeWindows* windows_;
  const OperationTimes* hours_;
};

// The report of one action, with its events when asked for.
class ReportRecord {
 public:
  // Events go to `events` (none when null).
  ReportRecord(TimeTotals& report, bool is_travel, std::optional<std::size_t> location,
               EventList* events)
      : report_(report), is_travel_(is_travel), location_(location), events_(events) {}

  void wait(DateTime end, Duration span) {
    if (events_) events_->push_back({Event::Kind::Wait, 0, {end - span, end}});
    report_.waiting_time += span;
  }
  void piece(DateTime start, Duration span) {
    if (is_travel_) {
      if (events_) events_->push_back({Event::Kind::Travel, 0, {start, start + span}});
      report_.traveling_time += span;
      return;
    }
    if (events_) {
      if (!location_) fail(messages::kUnwrapNone);
      events_->push_back(
          {Event::Kind::Work, static_cast<std::uint32_t>(*location_), {start, start + span}});
    }
    report_.working_time += span;
  }
  void late(Duration span) { report_.lateness += span; }
  bool counts_only() const { return events_ == nullptr; }

 private:
  TimeTotals& report_;
  bool is_travel_;
  std::optional<std::size_t> location_;
  EventList* events_;
};

}  // namespace

namespace {

// An action's account, its events appended to `events` (none when null).
TimeTotals placed_action(Duration action_duration, const TimeWindows* location_windows,
                         const OperationTimes* operation_times, DateTime start, bool is_travel,
                         std::optional<std::size_t> location, EventList* events) {
  TimeTotals report;
  ReportRecord record(report, is_travel, location, events);
  const DateTime end =
      place_action(LiteralClock(location_windows, operation_times), action_duration, start, record);
  report.duration = end - start;
  report.start_time = start;
  report.end_time = end;
  return report;
}

}  // namespace

TimeReport action_report(Duration action_duration, const TimeWindows* location_windows,
                         const OperationTimes* operation_times, DateTime start, bool is_travel,
                         std::optional<std::size_t> location, bool record_events) {
  TimeReport report;
  static_cast<TimeTotals&>(report) =
      placed_action(action_duration, location_windows, operation_times, start, is_travel, location,
                    record_events ? &report.events : nullptr);
  return report;
}

void remember_settling(TimeScheduler& scheduler) {
  const std::size_t n = std::min(scheduler.time_windows.size(), scheduler.job_durations.size());
  for (std::size_t location = 0; location < n; ++location) {
    TimeWindows& windows = scheduler.time_windows[location];
    const Duration job = scheduler.job_durations[location];
    if (windows.windows.size() <= kWalkedWindows || job <= Duration::zero()) continue;
    windows.settled_job = job;
    windows.settled.resize(windows.windows.size());  // read by the clock below while it fills
    const LiteralClock clock(&windows, nullptr);
    remember_settling(
        clock, windows.windows.size(), [&](std::size_t k) { return windows.windows[k].start; },
        [&](DateTime start) -> std::optional<Settled<DateTime, Duration>> {
          // A walk that fails is left to fail where an evaluation takes it;
          // one that succeeds leaves only the sum of waits to check there.
          try {
            Duration wait;
            std::uint32_t steps = 0;
            const DateTime t = settle_in_windows(clock, job, start, wait, steps);
            return Settled<DateTime, Duration>{t, wait};
          } catch (const Failure&) {
            return std::nullopt;
          }
        },
        windows.settled);
  }
}

void allow_whole_days(TimeScheduler& scheduler) {
  if (!scheduler.operation_times) return;
  scheduler.operation_times->whole_days = true;
  for (TimeWindows& windows : scheduler.time_windows)
    windows.in_order = listed_in_order(windows.windows);
}

namespace {

// The actions of a route, each appended to one schedule (events included
// when it has a list for them).
struct LiteralWalk {
  const TimeScheduler& scheduler;
  const std::vector<std::size_t>& route;
  const OperationTimes* hours;
  TimeReport& schedule;
  EventList* events;

  WalkStep work(std::size_t k, std::size_t&) {
    const std::size_t location = route[k];
    const Duration job = element_at(scheduler.job_durations, location);
    const TimeWindows& windows = element_at(scheduler.time_windows, location);
    schedule.extend(
        placed_action(job, &windows, hours, schedule.end_time, false, location, events));
    return WalkStep::go_on;
  }
  WalkStep travel(std::size_t from, std::size_t to) {
    schedule.extend(placed_action(scheduler.travel_duration(route[from], route[to]), nullptr, hours,
                                  schedule.end_time, true, std::nullopt, events));
    return WalkStep::go_on;
  }
};

}  // namespace

TimeReport route_schedule(const TimeScheduler& scheduler, const std::vector<std::size_t>& route,
                          bool record_events) {
  const std::size_t first = element_at(route, 0);
  const DateTime beginning = element_at(element_at(scheduler.time_windows, first).windows, 0).start;
  const OperationTimes* hours = scheduler.operation_times ? &*scheduler.operation_times : nullptr;

  TimeReport schedule;
  schedule.start_time = beginning;
  schedule.end_time = beginning;
  // Each action appends its events to the schedule's directly.
  LiteralWalk walk{scheduler, route, hours, schedule, record_events ? &schedule.events : nullptr};
  walk_tour_from(0, route.size(), walk);
  return schedule;
}

}  // namespace tourwright
