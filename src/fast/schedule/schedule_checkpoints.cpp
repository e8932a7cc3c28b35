#include "fast/schedule/schedule_checkpoints.hpp"

#include <algorithm>
#include <limits>
#include <utility>

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
  timed_jobs_[n] = 0;
  Nanos latest = std::numeric_limits<Nanos>::min();
  for (std::size_t k = n; k-- > 0;) {
    latest = std::max(latest, clock.last_window_end(route[k]));
    latest_last_end_[k] = latest;
    timed_jobs_[k] = timed_jobs_[k + 1] + (clock.timed_job(route[k]) ? 1 : 0);
  }
  rebuild_suffix_bounds(clock, route);
}

void ScheduleCheckpoints::rebuild_suffix_bounds(const ScheduleClock& clock, const Route& route) {
  const std::size_t n = route.size();
  legs_up_to_.assign(n, 0);
  jobs_before_.assign(n + 1, 0);
  for (std::size_t k = 0; k < n; ++k) {
    jobs_before_[k + 1] = jobs_before_[k] + clock.work_length(route[k]);
    if (k > 0) legs_up_to_[k] = legs_up_to_[k - 1] + clock.travel_length(route[k - 1], route[k]);
  }
  const auto lengths_before = [&](std::size_t k) { return legs_up_to_[k] + jobs_before_[k]; };

  open_arrival_.resize(n);
  std::vector<WideNanos> origins(n);
  std::vector<std::optional<WideNanos>> keys(n);
  for (std::size_t q = 0; q < n; ++q) {
    open_arrival_[q] = clock.open_time(arrival_[q].clock);
    origins[q] = WideNanos{open_arrival_[q]} - lengths_before(q);
    const Nanos length = clock.work_length(route[q]);
    if (length > 0) {  // else never late
      keys[q] =
          WideNanos{clock.open_time(clock.last_window_end(route[q]))} - length - lengths_before(q);
    }
  }
  open_lateness_.rebuild(keys, origins);

  // The operating time each position takes beyond the lengths before it
  // only grows along the route; the current route waited for a window where
  // it grows.
  lateness_before_.assign(n + 1, 0);
  late_jobs_before_.assign(n + 1, 0);
  several_windows_before_.assign(n + 1, 0);
  for (std::size_t q = 0; q < n; ++q) {
    const WideNanos late = departure_[q].lateness - arrival_[q].lateness;
    lateness_before_[q + 1] = lateness_before_[q] + late;
    late_jobs_before_[q + 1] = late_jobs_before_[q] + (late > 0 ? 1 : 0);
    several_windows_before_[q + 1] =
        several_windows_before_[q] + (clock.single_window(route[q]) ? 0 : 1);
  }
  tight_end_.assign(n, n);
  for (std::size_t p = n; p-- > 0;) {
    const WideNanos beyond = WideNanos{clock.open_time(departure_[p].clock)} - lengths_before(p) -
                             clock.work_length(route[p]);
    if (beyond != origins[p]) {
      tight_end_[p] = p;  // waited at p
    } else if (p + 1 < n && origins[p + 1] != beyond) {
      tight_end_[p] = p + 1;  // waited on the way to p + 1
    } else if (p + 1 < n) {
      tight_end_[p] = tight_end_[p + 1];
    }
  }
}

WideNanos ScheduleCheckpoints::stretch_lateness_bound(std::size_t p, std::size_t r, Nanos arrival,
                                                      Nanos open_arrival) const {
  const WideNanos later = WideNanos{open_arrival} - open_arrival_[p];
  const std::size_t tight = std::min(tight_end_[p], r);
  const WideNanos pushed =
      later > 0 ? (late_jobs_before_[tight] - late_jobs_before_[p]) * later : 0;
  WideNanos bound = 0;
  if (later >= 0) bound = lateness_before_[tight] - lateness_before_[p] + pushed;
  // Later in operating time is later on the clock too.
  if (single_windows(p, r) && (later > 0 || arrival >= arrival_[p].clock))
    bound = std::max(bound, lateness_before_[r] - lateness_before_[p] + pushed);
  return bound;
}

WideNanos ScheduleCheckpoints::suffix_lateness_bound(std::size_t p, Nanos arrival,
                                                     Nanos open_arrival) const {
  const WideNanos hinge =
      open_lateness_.bound(p, WideNanos{open_arrival} - legs_up_to_[p] - jobs_before_[p]);
  return std::max(hinge, stretch_lateness_bound(p, arrival_.size(), arrival, open_arrival));
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
  if (candidate.clock < here.clock || !single_windows(k, arrival_.size())) return std::nullopt;
  const ScheduleState& end = departure_.back();
  return ScheduleState{end.clock, candidate.lateness + (end.lateness - here.lateness),
                       candidate.waiting};
}

}  // namespace tourwright
