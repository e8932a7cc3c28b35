#include "fast/schedule/schedule_checkpoints.hpp"

#include <algorithm>
#include <limits>

namespace tourwright {

void ScheduleCheckpoints::rebuild(const ScheduleClock& clock, const Route& route) {
  const std::size_t n = route.size();
  begin_ = clock.first_window_start(route[0]);
  daily_hours_ = clock.daily_hours();
  arrival_.resize(n);
  departure_.resize(n);
  ScheduleState state{begin_, 0, 0};
  for (std::size_t k = 0; k < n; ++k) {
    arrival_[k] = state;
    clock.work(route[k], state);
    departure_[k] = state;
    clock.travel(route[k], route[(k + 1) % n], state);
  }

  latest_last_end_.resize(n);
  timed_jobs_.resize(n + 1);
  single_windows_.resize(n + 1);
  timed_jobs_[n] = 0;
  single_windows_[n] = true;
  Nanos latest = std::numeric_limits<Nanos>::min();
  for (std::size_t k = n; k-- > 0;) {
    latest = std::max(latest, clock.last_window_end(route[k]));
    latest_last_end_[k] = latest;
    timed_jobs_[k] = timed_jobs_[k + 1] + (clock.timed_job(route[k]) ? 1 : 0);
    single_windows_[k] = single_windows_[k + 1] && clock.single_window(route[k]);
  }
}

std::optional<ScheduleState> ScheduleCheckpoints::resume(std::size_t k,
                                                         const ScheduleState& candidate) const {
  const ScheduleState& here = arrival_[k];
  const Nanos shift = candidate.clock - here.clock;
  if (shift != 0) {
    const Nanos windows_over = latest_last_end_[k];
    if (!(candidate.clock > windows_over && here.clock > windows_over)) return std::nullopt;
    if (daily_hours_ && shift % kNanosPerDay != 0) return std::nullopt;
  }
  const ScheduleState& end = departure_.back();
  return ScheduleState{end.clock + shift,
                       candidate.lateness + (end.lateness - here.lateness) +
                           static_cast<WideNanos>(shift) * static_cast<WideNanos>(timed_jobs_[k]),
                       candidate.waiting + (end.waiting - here.waiting)};
}

std::optional<ScheduleState> ScheduleCheckpoints::rest_bound(std::size_t k,
                                                             const ScheduleState& candidate) const {
  const ScheduleState& here = arrival_[k];
  if (candidate.clock < here.clock || !single_windows_[k]) return std::nullopt;
  const ScheduleState& end = departure_.back();
  return ScheduleState{end.clock, candidate.lateness + (end.lateness - here.lateness),
                       candidate.waiting};
}

}  // namespace tourwright
