#include "penalties/time/time_windows.hpp"

#include "failure.hpp"
#include "messages.hpp"

namespace tourwright {

TimeWindow TimeWindow::make(DateTime start, DateTime end) {
  if (start > end) fail(messages::kWindowStartAfterEnd);
  return {start, end};
}

}  // namespace tourwright
