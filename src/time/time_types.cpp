#include "failure.hpp"
#include "messages.hpp"
#include "time/date_time.hpp"
#include "time/duration.hpp"

namespace tourwright {

Duration Duration::from_seconds(std::int64_t seconds) {
  if (seconds < -kMaxWholeSeconds || seconds > kMaxWholeSeconds) {
    fail(messages::kSecondsOutOfBounds);
  }
  return Duration({seconds, 0});
}

void Duration::fail_sum_overflow() { fail(messages::kDurationSumOverflow); }
void Duration::fail_difference_overflow() { fail(messages::kDurationDifferenceOverflow); }

DateTime DateTime::from_unix_seconds(std::uint64_t seconds) {
  // Read as the unsigned number it is: nothing above the last second of year 262142
  // is accepted, including values that would be negative as signed integers.
  if (seconds > static_cast<std::uint64_t>(kMaxUnixSeconds)) {
    fail(messages::kUnwrapNone);
  }
  return DateTime({static_cast<std::int64_t>(seconds), 0});
}

void DateTime::fail_sum_overflow() { fail(messages::kDateTimeSumOverflow); }
void DateTime::fail_difference_overflow() { fail(messages::kDateTimeDifferenceOverflow); }

}  // namespace tourwright
