#include "fast/schedule/lateness_bounds.hpp"

#include <algorithm>
#include <optional>

namespace tourwright {

void LatenessBounds::rebuild(const ScheduleClock& clock, const Route& route,
                             const ScheduleCheckpoints& checkpoints) {
  checkpoints_ = &checkpoints;
  ++generation_;
  rebuild_hinge(clock, route);
  rebuild_tight_stretches(clock, route);
}

void LatenessBounds::rebuild_hinge(const ScheduleClock& clock, const Route& route) {
  const ScheduleCheckpoints& at = *checkpoints_;
  const std::size_t n = route.size();
  open_arrival_.resize(n);
  origins_.resize(n);
  std::vector<std::optional<WideNanos>> keys(n);
  for (std::size_t q = 0; q < n; ++q) {
    open_arrival_[q] = clock.open_time(at.arrival(q).clock);
    origins_[q] = WideNanos{open_arrival_[q]} - at.lengths_before(q);
    const Nanos length = clock.work_length(route[q]);
    if (length > 0) {  // else never late
      keys[q] = WideNanos{clock.open_time(clock.last_window_end(route[q]))} - length -
                at.lengths_before(q);
    }
  }
  open_lateness_.rebuild(keys, origins_);
}

// The operating time each position takes beyond the lengths before it only
// grows along the route; the current route waited for a window where it
// grows.
void LatenessBounds::rebuild_tight_stretches(const ScheduleClock& clock, const Route& route) {
  const ScheduleCheckpoints& at = *checkpoints_;
  const std::size_t n = route.size();
  lateness_before_.assign(n + 1, 0);
  late_jobs_before_.assign(n + 1, 0);
  for (std::size_t q = 0; q < n; ++q) {
    const WideNanos late = at.departure(q).lateness - at.arrival(q).lateness;
    lateness_before_[q + 1] = lateness_before_[q] + late;
    late_jobs_before_[q + 1] = late_jobs_before_[q] + (late > 0 ? 1 : 0);
  }
  tight_end_.assign(n, n);
  for (std::size_t p = n; p-- > 0;) {
    const WideNanos beyond = WideNanos{clock.open_time(at.departure(p).clock)} -
                             at.lengths_before(p) - clock.work_length(route[p]);
    if (beyond != origins_[p]) {
      tight_end_[p] = p;  // waited at p
    } else if (p + 1 < n && origins_[p + 1] != beyond) {
      tight_end_[p] = p + 1;  // waited on the way to p + 1
    } else if (p + 1 < n) {
      tight_end_[p] = tight_end_[p + 1];
    }
  }
}

WideNanos LatenessBounds::stretch(std::size_t p, std::size_t r, Nanos arrival,
                                  Nanos open_arrival) const {
  const WideNanos later = WideNanos{open_arrival} - open_arrival_[p];
  const std::size_t tight = std::min(tight_end_[p], r);
  const WideNanos pushed =
      later > 0 ? (late_jobs_before_[tight] - late_jobs_before_[p]) * later : 0;
  WideNanos bound = 0;
  if (later >= 0) bound = lateness_before_[tight] - lateness_before_[p] + pushed;
  // Later in operating time is later on the clock too.
  if (checkpoints_->single_windows(p, r) &&
      (later > 0 || arrival >= checkpoints_->arrival(p).clock))
    bound = std::max(bound, lateness_before_[r] - lateness_before_[p] + pushed);
  return bound;
}

WideNanos LatenessBounds::suffix(std::size_t p, Nanos arrival, Nanos open_arrival) const {
  const WideNanos hinge =
      open_lateness_.bound(p, WideNanos{open_arrival} - checkpoints_->lengths_before(p));
  return std::max(hinge, stretch(p, open_arrival_.size(), arrival, open_arrival));
}

}  // namespace tourwright
