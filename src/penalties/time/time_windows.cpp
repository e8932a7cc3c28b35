#include "penalties/time/time_windows.hpp"

#include "failure.hpp"

namespace tourwright {

TimeWindow TimeWindow::make(DateTime start, DateTime end) {
  if (start > end) fail("assertion failed: start <= end");
  return {start, end};
}

std::optional<WindowLookup> TimeWindows::next_window(DateTime t) const {
  const std::size_t n = windows.size();
  if (n == 0) return std::nullopt;
  // Only the window listed last decides whether anything is left.
  if (t > windows[n - 1].end) return std::nullopt;

  // Binary search for the last start not after t (for a sorted list).
  std::size_t base = 0;
  std::size_t size = n;
  while (size > 1) {
    const std::size_t half = size / 2;
    const std::size_t mid = base + half;
    if (windows[mid].start <= t) base = mid;
    size -= half;
  }

  std::size_t i = 0;
  if (windows[base].start == t) return WindowLookup{&windows[base], Duration::zero()};
  if (windows[base].start < t) i = base + 1;
  if (i == 0) return WindowLookup{&windows[0], windows[0].start - t};

  const TimeWindow& previous = windows[i - 1];
  if (previous.start <= t && t <= previous.end) return WindowLookup{&previous, Duration::zero()};
  // i < n here: t is not after the end of the last window.
  const TimeWindow& following = windows[i];
  return WindowLookup{&following, t < following.start ? following.start - t : Duration::zero()};
}

}  // namespace tourwright
