#include "penalties/time/operation_times.hpp"

#include "failure.hpp"

namespace tourwright {

OperationTimes OperationTimes::make(TimeOfDay daily_start, TimeOfDay daily_end) {
  if (!(daily_start < daily_end)) fail("assertion failed: daily_start < daily_end");
  return {daily_start, daily_end};
}

}  // namespace tourwright
