#include "fast/schedule/schedule_checkpoints.hpp"

#include <algorithm>
#include <limits>

#include "penalties/time/tour_walk.hpp"

namespace tourwright {

namespace {

// The current route's state on arrival at each position and after its work.
struct RecordingWalk {
  const ScheduleClock& clock;
  const Route& route;
  std::vector<ScheduleState>& arrival;
  std::vector<ScheduleState>& departure;
  ScheduleState state;

  WalkStep work(std::size_t k, std::size_t&) {
    arrival[k] = state;
    clock.work(route[k], state);
    departure[k] = state;
    return WalkStep::go_on;
  }
  WalkStep travel(std::size_t from, std::size_t to) {
    clock.travel(route[from], route[to], state);
    return WalkStep::go_on;
  }
};

}  // namespace

void ScheduleCheckpoints::rebuild(const ScheduleClock& clock, const Route& route) {
  const std::size_t n = route.size();
  begin_ = clock.first_window_start(route[0]);
  daily_hours_ = clock.daily_hours();
  arrival_.resize(n);
  departure_.resize(n);
  RecordingWalk walk{clock, route, arrival_, departure_, ScheduleState{begin_, 0, 0}};
  walk_tour_from(0, n, walk);
  end_ = walk.state;

  latest_last_end_.resize(n);
  timed_jobs_.resize(n + 1);
  timed_jobs_[n] = 0;
  Nanos latest = std::numeric_limits<Nanos>::min();
  for (std::size_t k = n; k-- > 0;) {
    latest = std::max(latest, clock.last_window_end(route[k]));
    latest_last_end_[k] = latest;
    timed_jobs_[k] = timed_jobs_[k + 1] + (clock.timed_job(route[k]) ? 1 : 0);
  }
  rebuild_lengths(clock, route);
}

void ScheduleCheckpoints::rebuild_lengths(const ScheduleClock& clock, const Route& route) {
  const std::size_t n = route.size();
  legs_up_to_.assign(n, 0);
  jobs_before_.assign(n + 1, 0);
  several_windows_before_.assign(n + 1, 0);
  for (std::size_t k = 0; k < n; ++k) {
    jobs_before_[k + 1] = jobs_before_[k] + clock.work_length(route[k]);
    if (k > 0) legs_up_to_[k] = legs_up_to_[k - 1] + clock.travel_length(route[k - 1], route[k]);
    several_windows_before_[k + 1] =
        several_windows_before_[k] + (clock.single_window(route[k]) ? 0 : 1);
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
  if (candidate.clock < here.clock || !single_windows(k, arrival_.size())) return std::nullopt;
  const ScheduleState& end = departure_.back();
  return ScheduleState{end.clock, candidate.lateness + (end.lateness - here.lateness),
                       candidate.waiting};
}

}  // namespace tourwright
