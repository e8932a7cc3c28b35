#include "penalties/time/operation_times.hpp"

#include "failure.hpp"
#include "messages.hpp"

namespace tourwright {

OperationTimes OperationTimes::make(TimeOfDay daily_start, TimeOfDay daily_end) {
  if (!(daily_start < daily_end)) fail(messages::kHoursStartNotBeforeEnd);
  return {daily_start, daily_end};
}

}  // namespace tourwright
