#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "penalties/time/schedule_rules.hpp"
#include "penalties/time/time_input.hpp"
#include "time/date_time.hpp"
#include "time/duration.hpp"

namespace tourwright {

// Where a job of length `job` settles (settle_in_windows, from no wait) from
// the start of each window of a long list; nothing where that is unknown.
struct SettlingTable {
  Duration job;
  std::vector<std::optional<Settled<DateTime, Duration>>> settled;
};

// What one action of the literal evaluation may shortcut.
struct ActionShortcuts {
  const SettlingTable* settling = nullptr;
  bool windows_in_order = false;  // the location's list is in order
  bool whole_days = false;        // runs of whole days may be taken at once (without events)
};

// What a fast search lets the literal evaluation shortcut, built once per
// search from the time data, which stays exactly as the caller gave it.
// Evaluations give the same with or without it.
class ScheduleShortcuts {
 public:
  // Settling tables for the lists longer than kWalkedWindows; which lists are
  // in order. No runs of whole days until allow_whole_days.
  explicit ScheduleShortcuts(const TimeScheduler& scheduler);

  // Only for inputs on which no schedule can overflow (the fast path's
  // eligibility), so that the spans of a run fit 64-bit nanosecond counts.
  void allow_whole_days() { whole_days_ = true; }

  // Whether location a's window list is in order (listed_in_order).
  bool in_order(std::size_t location) const {
    return location < in_order_.size() && in_order_[location];
  }

  ActionShortcuts for_work(std::size_t location) const;
  ActionShortcuts for_travel() const { return {nullptr, false, whole_days_}; }

 private:
  std::vector<SettlingTable> settling_;  // per location; no entries where the list is short
  std::vector<bool> in_order_;
  bool whole_days_ = false;
};

}  // namespace tourwright
