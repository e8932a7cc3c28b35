#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "fast/schedule/nanos.hpp"
#include "penalties/time/schedule_rules.hpp"
#include "penalties/time/schedule_shortcuts.hpp"
#include "penalties/time/time_input.hpp"
#include "ranking.hpp"

namespace tourwright {

// Where a schedule stands between two actions: its clock and the two sums a
// candidate cannot know in advance. (Travelling time is a sum of leg lengths
// and working time a constant, so neither needs simulating.)
struct ScheduleState {
  Nanos clock = 0;
  WideNanos lateness = 0;
  Nanos waiting = 0;
};

// The ranking keys of a candidate, on nanosecond counts.
using ScheduleKeys = RankingKeys<WideNanos, Nanos>;

// The schedule rules (place_action) on nanosecond counts, without a report:
// only the clock and the sums move.
class ScheduleClock {
 public:
  // For locations 0..n−1, instants counted from `origin`; no schedule
  // reaches `ceiling` (FastEligibility), so window ends past it are read as
  // it.
  ScheduleClock(const TimeScheduler& scheduler, std::size_t n, InstantOrigin origin, Nanos ceiling,
                const ScheduleShortcuts& shortcuts);

  // An instant as this clock counts it.
  Nanos instant(DateTime t) const { return origin_.nanos(t); }

  Nanos first_window_start(std::size_t location) const { return starts_[first_[location]]; }
  Nanos last_window_end(std::size_t location) const { return ends_[first_[location + 1] - 1]; }
  // No job of positive length starts before it, in whatever order the
  // windows are listed: a job waits for a window, starts inside one, or
  // starts after the last one listed has ended.
  Nanos earliest_window_start(std::size_t location) const { return earliest_start_[location]; }
  bool single_window(std::size_t location) const {
    return first_[location + 1] - first_[location] == 1;
  }
  bool timed_job(std::size_t location) const { return jobs_[location] > 0; }
  bool daily_hours() const { return hours_.has_value(); }
  // What an action adds to the clock at least: its length (nothing for a
  // length of zero or less), however the windows and hours delay it.
  Nanos work_length(std::size_t location) const { return std::max<Nanos>(jobs_[location], 0); }
  Nanos travel_length(std::size_t from, std::size_t to) const {
    return std::max<Nanos>(travel_nanos(from, to), 0);
  }
  // The operating time up to t (t itself without hours). Actions only
  // progress while open, so an action of length L started at s ends at some
  // e with open_time(e) − open_time(s) ≥ L; and open time never passes
  // faster than the clock.
  Nanos open_time(Nanos t) const {
    if (!hours_) return t;
    const Nanos within = time_of_day(t);
    const Nanos per_day = hours_->close - hours_->open;
    return (t - within) / kNanosPerDay * per_day +
           std::clamp<Nanos>(within - hours_->open, 0, per_day);
  }

  // With hours, a line below the clock in operating time: an instant whose
  // operating time is at least x is no sooner than x · day / open + offset
  // (open: the hours of a day; offset: closing time less a day), equal at
  // every closing time. Each day adds `open` to the operating time and a
  // day to the clock, and within a day the clock runs at least as fast.
  struct ClockFloor {
    Nanos open;
    Nanos offset;
  };
  std::optional<ClockFloor> clock_floor() const {
    if (!hours_) return std::nullopt;
    return ClockFloor{hours_->close - hours_->open, hours_->close - kNanosPerDay};
  }

  void work(std::size_t location, ScheduleState& state) const;
  void travel(std::size_t from, std::size_t to, ScheduleState& state) const {
    travel_by(travel_nanos(from, to), state);
  }
  // A leg of that length, looked up by the caller (a leg of no length or
  // less does nothing, as in travel).
  void travel_by(Nanos length, ScheduleState& state) const;

 private:
  class WorkClock;
  class TravelClock;
  struct Hours {
    Nanos open;   // time of day
    Nanos close;  // time of day
  };

  void fill_settling_tables();
  Nanos travel_nanos(std::size_t from, std::size_t to) const {
    if (travel_seconds_.entries)
      return Nanos{travel_seconds_.at(from, to)} * Duration::kNanosPerSecond;
    return travel_[from * n_ + to];
  }

  static Nanos time_of_day(Nanos t) {
    const Nanos within = t % kNanosPerDay;
    return within < 0 ? within + kNanosPerDay : within;
  }
  Nanos until_open(Nanos t) const {
    if (!hours_) return 0;
    return wait_for_opening(time_of_day(t), hours_->open, hours_->close, kNanosPerDay);
  }
  std::optional<Nanos> until_closing(Nanos t) const {
    if (!hours_) return std::nullopt;
    return hours_->close - time_of_day(t);
  }
  // Open per day: every evaluation here may take runs of whole days.
  std::optional<Nanos> opening() const {
    if (!hours_) return std::nullopt;
    return hours_->close - hours_->open;
  }

  std::size_t n_;
  InstantOrigin origin_;
  std::vector<Nanos> jobs_;
  // Travel: the scheduler's packed whole seconds, shared, or else a table of
  // its own (row-major n × n).
  PackedMatrix travel_seconds_;
  std::vector<Nanos> travel_;
  std::vector<std::size_t> first_;  // windows of location a: first_[a] .. first_[a + 1] − 1
  std::vector<bool> in_order_;      // per location: its list is in order
  std::vector<Nanos> starts_;
  std::vector<Nanos> earliest_start_;  // per location
  std::vector<Nanos> ends_;
  // Per location with a long window list (else empty), per window: where the
  // whole job settles from the window's start (settle_in_windows).
  std::vector<std::vector<std::optional<Settled<Nanos, Nanos>>>> settled_;
  std::optional<Hours> hours_;
};

}  // namespace tourwright
