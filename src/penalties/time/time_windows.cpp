#include "penalties/time/time_windows.hpp"

#include "failure.hpp"
#include "interrupt.hpp"
#include "messages.hpp"

namespace tourwright {

TimeWindow TimeWindow::make(DateTime start, DateTime end) {
  if (start > end) fail(messages::kWindowStartAfterEnd);
  return {start, end};
}

bool listed_in_order(const std::vector<TimeWindow>& windows) {
  PolledSteps polled;  // lists of millions of windows
  for (std::size_t k = 0; k < windows.size(); ++k) {
    polled.step();
    if (windows[k].start > windows[k].end) return false;
    if (k + 1 < windows.size() && windows[k].end > windows[k + 1].start) return false;
  }
  return true;
}

}  // namespace tourwright
