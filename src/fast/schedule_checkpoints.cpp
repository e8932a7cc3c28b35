#include "fast/schedule_checkpoints.hpp"

#include <algorithm>

namespace tourwright {

namespace {

Duration times(Duration d, std::size_t count) {
  __extension__ using Nanoseconds = __int128;
  constexpr Nanoseconds kPerSecond = Duration::kNanosPerSecond;
  const Nanoseconds total = (d.seconds() * kPerSecond + d.subsec_nanos()) * static_cast<Nanoseconds>(count);
  Nanoseconds seconds = total / kPerSecond;
  Nanoseconds nanos = total % kPerSecond;
  if (nanos < 0) {
    nanos += kPerSecond;
    --seconds;
  }
  return Duration::from_seconds(static_cast<std::int64_t>(seconds)) +
         Duration::from_nanoseconds(static_cast<std::int64_t>(nanos));
}

bool whole_days(Duration d) {
  return d.subsec_nanos() == 0 && d.seconds() % TimeOfDay::kSecondsPerDay == 0;
}

}  // namespace

void ScheduleCheckpoints::rebuild(const TimeScheduler& scheduler, const Route& route) {
  const std::size_t n = route.size();
  begin_ = scheduler.time_windows[route[0]].windows.front().start;
  daily_hours_ = scheduler.operation_times.has_value();
  arrival_.resize(n);
  departure_.resize(n);
  ScheduleState state{begin_, {}, {}};
  for (std::size_t k = 0; k < n; ++k) {
    arrival_[k] = state;
    work_at(scheduler, route[k], state);
    departure_[k] = state;
    travel_between(scheduler, route[k], route[(k + 1) % n], state);
  }

  latest_last_end_.resize(n);
  timed_jobs_.resize(n + 1);
  timed_jobs_[n] = 0;
  DateTime latest = DateTime::min();
  for (std::size_t k = n; k-- > 0;) {
    latest = std::max(latest, scheduler.time_windows[route[k]].windows.back().end);
    latest_last_end_[k] = latest;
    timed_jobs_[k] = timed_jobs_[k + 1] + (scheduler.job_durations[route[k]].is_positive() ? 1 : 0);
  }
}

std::optional<ScheduleState> ScheduleCheckpoints::resume(std::size_t k,
                                                         const ScheduleState& candidate) const {
  const ScheduleState& here = arrival_[k];
  const Duration shift = candidate.clock - here.clock;
  if (shift != Duration::zero()) {
    const DateTime windows_over = latest_last_end_[k];
    if (!(candidate.clock > windows_over && here.clock > windows_over)) return std::nullopt;
    if (daily_hours_ && !whole_days(shift)) return std::nullopt;
  }
  const ScheduleState& end = departure_.back();
  return ScheduleState{end.clock + shift,
                       candidate.lateness + (end.lateness - here.lateness) + times(shift, timed_jobs_[k]),
                       candidate.waiting + (end.waiting - here.waiting)};
}

}  // namespace tourwright
