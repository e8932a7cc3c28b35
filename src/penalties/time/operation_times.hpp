#pragma once

#include "penalties/time/schedule_rules.hpp"
#include "time/duration.hpp"
#include "time/time_of_day.hpp"

namespace tourwright {

// Daily operating hours in UTC, the same every day: open from `daily_start`
// (included) until `daily_end` (excluded). Spans across midnight cannot be
// represented; "no restriction" is expressed by having no OperationTimes.
struct OperationTimes {
  TimeOfDay daily_start;
  TimeOfDay daily_end;

  // Fails with "assertion failed: daily_start < daily_end".
  static OperationTimes make(TimeOfDay daily_start, TimeOfDay daily_end);

  // How long to wait from h until operation resumes: zero while open,
  // otherwise until today's or tomorrow's opening.
  Duration waiting_time(TimeOfDay h) const {
    constexpr Duration one_day = Duration::from_nanoseconds(86'400LL * Duration::kNanosPerSecond);
    return wait_for_opening(h, daily_start, daily_end, one_day);
  }
};

}  // namespace tourwright
