#pragma once

#include <optional>
#include <vector>

#include "penalties/time/schedule_rules.hpp"
#include "time/date_time.hpp"
#include "time/duration.hpp"

namespace tourwright {

// A stretch of instants in which a location accepts work; both ends included.
struct TimeWindow {
  DateTime start;
  DateTime end;

  // Fails with "assertion failed: start <= end".
  static TimeWindow make(DateTime start, DateTime end);

  friend constexpr bool operator==(const TimeWindow&, const TimeWindow&) = default;
};

// Where work can be placed at a given instant: in `window`, after `wait`.
struct WindowLookup {
  const TimeWindow* window;
  Duration wait;
};

// The windows of one location, in the caller's order. Callers are expected to
// list them sorted by start and without overlap; the lookup is still fully
// defined for any order.
struct TimeWindows {
  std::vector<TimeWindow> windows;

  // The window containing t (zero wait), else the next one to open (with the
  // wait until it opens), else nothing once the last listed window has ended.
  std::optional<WindowLookup> next_window(DateTime t) const {
    const auto found = find_window(
        windows.size(), [&](std::size_t k) { return windows[k].start; },
        [&](std::size_t k) { return windows[k].end; }, t);
    if (!found) return std::nullopt;
    return WindowLookup{&windows[found->index], found->wait};
  }
};

// Windows listed in order without overlap: each starts no sooner than the one
// before it ends.
bool listed_in_order(const std::vector<TimeWindow>& windows);

}  // namespace tourwright
