#include "penalties/time/time_output.hpp"

#include "failure.hpp"
#include "messages.hpp"
#include "penalties/time/literal_clock.hpp"
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
  events.append(std::move(other.events));
}

void EventList::append(EventList&& other) {
  if (!other.events_) return;
  if (!events_) {
    events_ = std::move(other.events_);
    return;
  }
  events_->insert(events_->end(), other.events_->begin(), other.events_->end());
  other.events_.reset();
}

namespace {

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
                         std::optional<std::size_t> location, EventList* events,
                         const ActionShortcuts& shortcuts) {
  TimeTotals report;
  ReportRecord record(report, is_travel, location, events);
  const DateTime end = place_action(LiteralClock(location_windows, operation_times, shortcuts),
                                    action_duration, start, record);
  report.duration = end - start;
  report.start_time = start;
  report.end_time = end;
  return report;
}

}  // namespace

TimeReport action_report(Duration action_duration, const TimeWindows* location_windows,
                         const OperationTimes* operation_times, DateTime start, bool is_travel,
                         std::optional<std::size_t> location, bool record_events,
                         const ActionShortcuts& shortcuts) {
  TimeReport report;
  static_cast<TimeTotals&>(report) =
      placed_action(action_duration, location_windows, operation_times, start, is_travel, location,
                    record_events ? &report.events : nullptr, shortcuts);
  return report;
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
  const ScheduleShortcuts* shortcuts;

  WalkStep work(std::size_t k, std::size_t&) {
    const std::size_t location = route[k];
    const Duration job = element_at(scheduler.job_durations, location);
    const TimeWindows& windows = element_at(scheduler.time_windows, location);
    schedule.extend(placed_action(job, &windows, hours, schedule.end_time, false, location, events,
                                  shortcuts ? shortcuts->for_work(location) : ActionShortcuts{}));
    return WalkStep::go_on;
  }
  WalkStep travel(std::size_t from, std::size_t to) {
    schedule.extend(placed_action(scheduler.travel_duration(route[from], route[to]), nullptr, hours,
                                  schedule.end_time, true, std::nullopt, events,
                                  shortcuts ? shortcuts->for_travel() : ActionShortcuts{}));
    return WalkStep::go_on;
  }
};

}  // namespace

TimeReport route_schedule(const TimeScheduler& scheduler, const std::vector<std::size_t>& route,
                          bool record_events, const ScheduleShortcuts* shortcuts) {
  const std::size_t first = element_at(route, 0);
  const DateTime beginning = element_at(element_at(scheduler.time_windows, first).windows, 0).start;
  const OperationTimes* hours = scheduler.operation_times ? &*scheduler.operation_times : nullptr;

  TimeReport schedule;
  schedule.start_time = beginning;
  schedule.end_time = beginning;
  // Each action appends its events to the schedule's directly.
  LiteralWalk walk{scheduler, route, hours, schedule, record_events ? &schedule.events : nullptr,
                   shortcuts};
  walk_tour_from(0, route.size(), walk);
  return schedule;
}

}  // namespace tourwright
