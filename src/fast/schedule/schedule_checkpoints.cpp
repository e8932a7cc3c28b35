#include "fast/schedule/schedule_checkpoints.hpp"

#include <algorithm>
#include <limits>

#include "penalties/time/tour_walk.hpp"

namespace tourwright {

namespace {

// The route's state on arrival at each position and after its work, from
// position i on, positions i..j changed since the states were recorded (all
// of them, j = n − 1, when none were): past j, once a departure's clock is
// the one recorded before, the rest of the schedule is the one recorded, its
// sums moved by what changed.
struct UpdatingWalk {
  const ScheduleClock& clock;
  const Route& route;
  std::size_t changed_end;  // j + 1
  std::vector<ScheduleState>& arrival;
  std::vector<ScheduleState>& departure;
  ScheduleState state;

  WalkStep work(std::size_t k, std::size_t&) {
    arrival[k] = state;
    clock.work(route[k], state);
    const ScheduleState before = departure[k];
    departure[k] = state;
    if (k < changed_end || state.clock != before.clock) return WalkStep::go_on;
    const WideNanos later = state.lateness - before.lateness;
    const Nanos longer = state.waiting - before.waiting;
    for (std::size_t m = k + 1; m < arrival.size(); ++m) {
      for (ScheduleState* at : {&arrival[m], &departure[m]}) {
        at->lateness += later;
        at->waiting += longer;
      }
    }
    state = departure.back();
    return WalkStep::finish;
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
  UpdatingWalk walk{clock, route, n, arrival_, departure_, ScheduleState{begin_, 0, 0}};
  walk_tour_from(0, n, walk);
  end_ = walk.state;

  latest_last_end_.resize(n);
  timed_jobs_.resize(n + 1);
  timed_jobs_[n] = 0;
  legs_up_to_.assign(n, 0);
  jobs_before_.assign(n + 1, 0);
  several_windows_before_.assign(n + 1, 0);
  rebuild_aggregates(clock, route, 0, n - 1);
}

void ScheduleCheckpoints::rebuild_after_change(const ScheduleClock& clock, const Route& route,
                                               std::size_t i, std::size_t j) {
  // At 0 the beginning changes with the first location.
  if (i == 0 || route.size() != arrival_.size()) return rebuild(clock, route);
  UpdatingWalk walk{clock, route, j + 1, arrival_, departure_, departure_[i - 1]};
  walk_tour_from(i, route.size(), walk);
  end_ = walk.state;
  rebuild_aggregates(clock, route, i, j);
}

// Positions i..j changed: the suffix aggregates from j down, the prefix
// sums from i on.
void ScheduleCheckpoints::rebuild_aggregates(const ScheduleClock& clock, const Route& route,
                                             std::size_t i, std::size_t j) {
  const std::size_t n = route.size();
  Nanos latest = j + 1 < n ? latest_last_end_[j + 1] : std::numeric_limits<Nanos>::min();
  for (std::size_t k = j + 1; k-- > i;) {
    latest = std::max(latest, clock.last_window_end(route[k]));
    latest_last_end_[k] = latest;
    timed_jobs_[k] = timed_jobs_[k + 1] + (clock.timed_job(route[k]) ? 1 : 0);
  }
  for (std::size_t k = i; k < n; ++k) {
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
