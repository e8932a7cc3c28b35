#include "fast/schedule/schedule_clock.hpp"

#include <algorithm>
#include <limits>

#include "penalties/time/schedule_rules.hpp"

namespace tourwright {

ScheduleClock::ScheduleClock(const TimeScheduler& scheduler, std::size_t n, InstantOrigin origin,
                             Nanos ceiling, const ScheduleShortcuts& shortcuts)
    : n_(n), origin_(origin), travel_seconds_(scheduler.packed_durations) {
  if (!travel_seconds_.entries) travel_.resize(n * n);
  PolledSteps polled;
  for (std::size_t a = 0; a < n; ++a) {
    poll_interrupt();  // a row at a time: n^2 entries in all
    jobs_.push_back(nanos_of(scheduler.job_durations[a]));
    if (!travel_seconds_.entries) {
      for (std::size_t b = 0; b < n; ++b)
        travel_[a * n + b] = nanos_of(scheduler.duration_matrix[a][b]);
    }
    first_.push_back(starts_.size());
    // Ends read as the ceiling keep an ordered list in order.
    in_order_.push_back(shortcuts.in_order(a));
    earliest_start_.push_back(std::numeric_limits<Nanos>::max());
    for (const TimeWindow& window : scheduler.time_windows[a].windows) {
      polled.step();
      starts_.push_back(origin.nanos(window.start));
      earliest_start_.back() = std::min(earliest_start_.back(), starts_.back());
      ends_.push_back(
          static_cast<Nanos>(std::min(origin.wide_nanos(window.end), WideNanos{ceiling})));
    }
  }
  first_.push_back(starts_.size());
  fill_settling_tables();
  if (const auto& hours = scheduler.operation_times) {
    hours_ =
        Hours{nanos_of(hours->daily_start - TimeOfDay()), nanos_of(hours->daily_end - TimeOfDay())};
  }
}

// The rules' questions for the work at one location.
class ScheduleClock::WorkClock {
 public:
  using Time = Nanos;
  using Span = Nanos;
  using Found = WindowFound<Nanos>;

  WorkClock(const ScheduleClock& clock, std::size_t location)
      : clock_(clock),
        start_(&clock.starts_[clock.first_[location]]),
        end_(&clock.ends_[clock.first_[location]]),
        count_(clock.first_[location + 1] - clock.first_[location]),
        job_(clock.jobs_[location]),
        in_order_(clock.in_order_[location]),
        settled_(clock.settled_[location].empty() ? nullptr : clock.settled_[location].data()) {}

  std::optional<WindowFound<Nanos>> next_window(Nanos t) const {
    return find_window(
        count_, [this](std::size_t k) { return start_[k]; },
        [this](std::size_t k) { return end_[k]; }, t);
  }
  bool same_window(const WindowFound<Nanos>& a, const WindowFound<Nanos>& b) const {
    return start_[a.index] == start_[b.index] && end_[a.index] == end_[b.index];
  }
  std::size_t index_of(const WindowFound<Nanos>& found) const { return found.index; }
  // Known for the whole job from the start of a window whose start finds it.
  std::optional<Settled<Nanos, Nanos>> settled_from(const WindowFound<Nanos>& found, Nanos t,
                                                    Nanos remaining) const {
    if (settled_ == nullptr || remaining != job_ || t != start_[found.index]) return std::nullopt;
    return settled_[found.index];
  }
  Nanos until_open(Nanos t) const { return clock_.until_open(t); }
  std::optional<Nanos> until_closing(Nanos t) const { return clock_.until_closing(t); }
  std::optional<Nanos> last_window_end() const { return end_[count_ - 1]; }
  std::optional<Nanos> whole_day_opening() const { return clock_.opening(); }
  bool in_order() const { return in_order_; }
  bool last_listed(const WindowFound<Nanos>& found) const { return found.index + 1 == count_; }
  static Nanos count_of(Nanos span) { return span; }
  static Nanos span_of(Nanos count) { return count; }

 private:
  const ScheduleClock& clock_;
  const Nanos* start_;
  const Nanos* end_;
  std::size_t count_;
  Nanos job_;
  bool in_order_;
  const std::optional<Settled<Nanos, Nanos>>* settled_;
};

void ScheduleClock::fill_settling_tables() {
  static_assert(SettlingTableClock<WorkClock>);
  settled_.resize(n_);
  for (std::size_t a = 0; a < n_; ++a) {
    const std::size_t count = first_[a + 1] - first_[a];
    if (count <= kWalkedWindows || jobs_[a] <= 0) continue;
    assign_polled(settled_[a], count, std::nullopt);  // read by the clock below while it fills
    const WorkClock clock(*this, a);
    const Nanos* starts = &starts_[first_[a]];
    fill_settling_table(
        clock, [starts](std::size_t k) { return starts[k]; },
        [&](Nanos start) -> std::optional<Settled<Nanos, Nanos>> {
          Nanos wait = 0;
          std::uint32_t steps = 0;
          const Nanos t = settle_in_windows(clock, jobs_[a], start, wait, steps);
          return Settled<Nanos, Nanos>{t, wait};
        },
        settled_[a]);
  }
}

// Travel passes no windows.
class ScheduleClock::TravelClock {
 public:
  using Time = Nanos;
  using Span = Nanos;
  using Found = WindowFound<Nanos>;

  explicit TravelClock(const ScheduleClock& clock) : clock_(clock) {}

  std::optional<WindowFound<Nanos>> next_window(Nanos) const { return std::nullopt; }
  bool same_window(const WindowFound<Nanos>&, const WindowFound<Nanos>&) const { return true; }
  Nanos until_open(Nanos t) const { return clock_.until_open(t); }
  std::optional<Nanos> until_closing(Nanos t) const { return clock_.until_closing(t); }
  std::optional<Settled<Nanos, Nanos>> settled_from(const WindowFound<Nanos>&, Nanos, Nanos) const {
    return std::nullopt;
  }
  std::optional<Nanos> last_window_end() const { return std::nullopt; }
  std::optional<Nanos> whole_day_opening() const { return clock_.opening(); }
  // Never asked: travel finds no window.
  bool in_order() const { return false; }
  bool last_listed(const WindowFound<Nanos>&) const { return false; }
  static Nanos count_of(Nanos span) { return span; }
  static Nanos span_of(Nanos count) { return count; }

 private:
  const ScheduleClock& clock_;
};

namespace {

// Only the sums a candidate cannot know in advance: waiting and lateness.
struct StateRecord {
  ScheduleState& state;

  void wait(Nanos, Nanos span) { state.waiting += span; }
  void piece(Nanos, Nanos) {}
  void late(Nanos span) { state.lateness += span; }
  bool counts_only() const { return true; }
};

}  // namespace

void ScheduleClock::work(std::size_t location, ScheduleState& state) const {
  StateRecord record{state};
  state.clock = place_action(WorkClock(*this, location), jobs_[location], state.clock, record);
}

void ScheduleClock::travel_by(Nanos length, ScheduleState& state) const {
  static_assert(ScheduleRulesClock<TravelClock>);
  StateRecord record{state};
  state.clock = place_action(TravelClock(*this), length, state.clock, record);
}

}  // namespace tourwright
