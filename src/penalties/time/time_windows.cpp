#include "penalties/time/time_windows.hpp"

#include "failure.hpp"
#include "messages.hpp"

namespace tourwright {

TimeWindow TimeWindow::make(DateTime start, DateTime end) {
  if (start > end) fail(messages::kWindowStartAfterEnd);
  return {start, end};
}

bool listed_in_order(const std::vector<TimeWindow>& windows) {
  for (std::size_t k = 0; k < windows.size(); ++k) {
    if (windows[k].start > windows[k].end) return false;
    if (k + 1 < windows.size() && windows[k].end > windows[k + 1].start) return false;
  }
  return true;
}

}  // namespace tourwright
