#include "penalties/time/time_output.hpp"

#include <iterator>

#include "failure.hpp"

namespace tourwright {

void TimeReport::extend(TimeReport&& other) {
  end_time = other.end_time;
  duration += other.duration;
  lateness += other.lateness;
  working_time += other.working_time;
  waiting_time += other.waiting_time;
  traveling_time += other.traveling_time;
  events.insert(events.end(), std::make_move_iterator(other.events.begin()),
                std::make_move_iterator(other.events.end()));
}

TimeReport action_report(Duration action_duration, const TimeWindows* location_windows,
                         const OperationTimes* operation_times, DateTime start, bool is_travel,
                         std::optional<std::size_t> location, bool record_events) {
  TimeReport report;
  Duration remaining = action_duration;
  DateTime t = start;
  // Waits are collected here and settled just before the next piece, so that
  // consecutive waits become one event.
  Duration pending_wait;

  while (remaining.is_positive()) {
    if (location_windows != nullptr) {
      if (const auto found = location_windows->next_window(t)) {
        if (found->wait.is_positive()) {
          pending_wait += found->wait;
          t += found->wait;
        }
        const auto at_end = location_windows->next_window(t + remaining);
        if (at_end && !(*at_end->window == *found->window)) {
          // The job would not end inside the window it starts in: push it back
          // to where it can begin in the window its end falls into.
          const Duration skip = at_end->wait + remaining;
          pending_wait += skip;
          t += skip;
          continue;
        }
        // No window is left at the end time (or the job fits). If we waited
        // above, the job proceeds at once from the start of the window waited
        // for, adds no further wait here, and counts as late against the last
        // window's end.
      }
    }

    if (operation_times != nullptr) {
      const Duration until_open = operation_times->waiting_time(t.time_of_day());
      if (until_open.is_positive()) {
        pending_wait += until_open;
        t += until_open;
        continue;  // the windows are looked up again at the new time
      }
    }

    if (pending_wait.is_positive()) {
      if (record_events) report.events.push_back({Event::Kind::Wait, 0, {t - pending_wait, t}});
      report.waiting_time += pending_wait;
      pending_wait = Duration::zero();
    }

    Duration step = remaining;
    if (operation_times != nullptr) {
      // Positive: t has just been found inside the operating hours.
      const Duration until_closing = operation_times->daily_end - t.time_of_day();
      if (remaining > until_closing) step = until_closing;
    }

    if (is_travel) {
      if (record_events) report.events.push_back({Event::Kind::Travel, 0, {t, t + step}});
      report.traveling_time += step;
    } else {
      if (record_events) {
        if (!location) fail("called `Option::unwrap()` on a `None` value");
        report.events.push_back({Event::Kind::Work, *location, {t, t + step}});
      }
      report.working_time += step;
      // Lateness is measured once per job, at the end of its final piece, and
      // only against the window listed last.
      if (location_windows != nullptr && step == remaining) {
        const DateTime finish = t + step;
        const auto& windows = location_windows->windows;
        if (!windows.empty() && finish > windows.back().end) {
          report.lateness += finish - windows.back().end;
        }
      }
    }
    t += step;
    remaining -= step;
  }

  report.duration = t - start;
  report.start_time = start;
  report.end_time = t;
  return report;
}

TimeReport route_schedule(const TimeScheduler& scheduler, const std::vector<std::size_t>& route,
                          bool record_events) {
  const std::size_t first = element_at(route, 0);
  const DateTime beginning = element_at(element_at(scheduler.time_windows, first).windows, 0).start;
  const OperationTimes* hours = scheduler.operation_times ? &*scheduler.operation_times : nullptr;

  TimeReport schedule;
  schedule.start_time = beginning;
  schedule.end_time = beginning;
  if (record_events) schedule.events.reserve(4 * route.size());

  const std::size_t n = route.size();
  for (std::size_t k = 0; k < n; ++k) {
    const std::size_t location = route[k];
    const Duration job = element_at(scheduler.job_durations, location);
    const TimeWindows& windows = element_at(scheduler.time_windows, location);
    schedule.extend(
        action_report(job, &windows, hours, schedule.end_time, false, location, record_events));

    const std::size_t next = route[(k + 1) % n];
    schedule.extend(action_report(scheduler.travel_duration(location, next), nullptr, hours,
                                  schedule.end_time, true, std::nullopt, record_events));
  }
  return schedule;
}

}  // namespace tourwright
