#include "fast/schedule_clock.hpp"

namespace tourwright {

namespace {

Nanos time_of_day(Nanos t) {
  const Nanos within = t % kNanosPerDay;
  return within < 0 ? within + kNanosPerDay : within;
}

}  // namespace

ScheduleClock::ScheduleClock(const TimeScheduler& scheduler, std::size_t n)
    : n_(n), travel_(n * n) {
  for (std::size_t a = 0; a < n; ++a) {
    jobs_.push_back(nanos_of(scheduler.job_durations[a]));
    for (std::size_t b = 0; b < n; ++b)
      travel_[a * n + b] = nanos_of(scheduler.duration_matrix[a][b]);
    first_.push_back(starts_.size());
    for (const TimeWindow& window : scheduler.time_windows[a].windows) {
      starts_.push_back(nanos_of(window.start));
      ends_.push_back(nanos_of(window.end));
    }
  }
  first_.push_back(starts_.size());
  if (const auto& hours = scheduler.operation_times) {
    hours_ =
        Hours{nanos_of(hours->daily_start - TimeOfDay()), nanos_of(hours->daily_end - TimeOfDay())};
  }
}

// TimeWindows::next_window, on this location's slice of the window lists.
std::optional<ScheduleClock::Found> ScheduleClock::next_window(std::size_t location,
                                                               Nanos t) const {
  const std::size_t offset = first_[location];
  const std::size_t n = first_[location + 1] - offset;
  const Nanos* start = &starts_[offset];
  const Nanos* end = &ends_[offset];
  if (t > end[n - 1]) return std::nullopt;
  std::size_t base = 0;
  for (std::size_t size = n; size > 1;) {
    const std::size_t half = size / 2;
    if (start[base + half] <= t) base += half;
    size -= half;
  }
  if (start[base] == t) return Found{offset + base, 0};
  const std::size_t i = start[base] < t ? base + 1 : 0;
  if (i == 0) return Found{offset, start[0] - t};
  if (start[i - 1] <= t && t <= end[i - 1]) return Found{offset + i - 1, 0};
  return Found{offset + i, t < start[i] ? start[i] - t : 0};
}

bool ScheduleClock::open_at(Nanos& t, Nanos& pending) const {
  if (!hours_) return true;
  const Nanos h = time_of_day(t);
  const Nanos wait = h < hours_->open    ? hours_->open - h
                     : h < hours_->close ? 0
                                         : hours_->open - h + kNanosPerDay;
  if (wait <= 0) return true;
  pending += wait;
  t += wait;
  return false;
}

Nanos ScheduleClock::piece(Nanos t, Nanos remaining) const {
  if (!hours_) return remaining;
  const Nanos until_closing = hours_->close - time_of_day(t);
  return remaining > until_closing ? until_closing : remaining;
}

void ScheduleClock::work(std::size_t location, ScheduleState& state) const {
  Nanos remaining = jobs_[location];
  Nanos t = state.clock;
  Nanos pending = 0;
  while (remaining > 0) {
    if (const auto found = next_window(location, t)) {
      if (found->wait > 0) {
        pending += found->wait;
        t += found->wait;
      }
      const auto at_end = next_window(location, t + remaining);
      // Windows are the same when their bounds are, as in the literal procedure.
      if (at_end && !(starts_[at_end->window] == starts_[found->window] &&
                      ends_[at_end->window] == ends_[found->window])) {
        const Nanos skip = at_end->wait + remaining;
        pending += skip;
        t += skip;
        continue;
      }
    }
    if (!open_at(t, pending)) continue;
    state.waiting += pending;
    pending = 0;
    const Nanos step = piece(t, remaining);
    if (step == remaining) {
      const Nanos finish = t + step;
      const Nanos last_end = last_window_end(location);
      if (finish > last_end) state.lateness += finish - last_end;
    }
    t += step;
    remaining -= step;
  }
  state.clock = t;
}

void ScheduleClock::travel(std::size_t from, std::size_t to, ScheduleState& state) const {
  Nanos remaining = travel_[from * n_ + to];
  Nanos t = state.clock;
  Nanos pending = 0;
  while (remaining > 0) {
    if (!open_at(t, pending)) continue;
    state.waiting += pending;
    pending = 0;
    const Nanos step = piece(t, remaining);
    t += step;
    remaining -= step;
  }
  state.clock = t;
}

}  // namespace tourwright
