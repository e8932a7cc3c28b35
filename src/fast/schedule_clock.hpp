#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "fast/nanos.hpp"
#include "penalties/time/time_input.hpp"

namespace tourwright {

// Where a schedule stands between two actions: its clock and the two sums a
// candidate cannot know in advance. (Travelling time is a sum of leg lengths
// and working time a constant, so neither needs simulating.)
struct ScheduleState {
  Nanos clock = 0;
  WideNanos lateness = 0;
  Nanos waiting = 0;
};

// The keys of the time-data order, in its order; the smaller wins.
struct ScheduleKeys {
  WideNanos lateness = 0;
  Nanos traveling_time = 0;
  Nanos duration = 0;
  Nanos waiting_time = 0;
  std::uint64_t distance = 0;

  friend auto operator<=>(const ScheduleKeys&, const ScheduleKeys&) = default;
};

// The schedule simulation of one action, step for step the procedure of
// `action_report` (windows, push-backs, operating hours, pieces, lateness)
// on nanosecond counts, without a report: only the clock and the sums move.
class ScheduleClock {
 public:
  explicit ScheduleClock(const TimeScheduler& scheduler, std::size_t n);

  Nanos first_window_start(std::size_t location) const { return starts_[first_[location]]; }
  Nanos last_window_end(std::size_t location) const { return ends_[first_[location + 1] - 1]; }
  bool single_window(std::size_t location) const {
    return first_[location + 1] - first_[location] == 1;
  }
  bool timed_job(std::size_t location) const { return jobs_[location] > 0; }
  bool daily_hours() const { return hours_.has_value(); }

  void work(std::size_t location, ScheduleState& state) const;
  void travel(std::size_t from, std::size_t to, ScheduleState& state) const;

 private:
  struct Found {
    std::size_t window;  // index into starts_ / ends_
    Nanos wait;
  };
  struct Hours {
    Nanos open;   // time of day
    Nanos close;  // time of day
  };

  std::optional<Found> next_window(std::size_t location, Nanos t) const;
  // Waits for opening time; false when the clock had to move (look again).
  bool open_at(Nanos& t, Nanos& pending) const;
  Nanos piece(Nanos t, Nanos remaining) const;

  std::size_t n_;
  std::vector<Nanos> jobs_;
  std::vector<Nanos> travel_;       // row-major n × n
  std::vector<std::size_t> first_;  // windows of location a: first_[a] .. first_[a + 1] − 1
  std::vector<Nanos> starts_;
  std::vector<Nanos> ends_;
  std::optional<Hours> hours_;
};

}  // namespace tourwright
