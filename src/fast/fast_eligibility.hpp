#pragma once

#include <cstddef>

#include "fast/schedule/nanos.hpp"
#include "penalizer.hpp"

namespace tourwright {

// Whether the fast evaluation is exact for every route this penalizer can be
// asked about, decided once from the input, and where: `clock_ceiling`, an
// instant no schedule of any route reaches or looks up. It is exact when:
// - the route has one entry per location and every list the evaluation reads
//   is complete (no row, job, window list or matrix entry missing, and no
//   location without windows), so no evaluation can fail on an index; and
// - no schedule of any route can overflow a date-time or a duration (bounded
//   from the input), so no evaluation can fail on arithmetic either, and
//   every clock fits the fast path's 64-bit nanosecond counts.
// Distance sums wrap by design and never fail. Everywhere else the literal
// evaluation runs, so index and overflow failures come out in its order.
// A window ending after the ceiling (an open-ended deadline such as the end
// of year 9999) behaves exactly as one ending there, which keeps such
// windows within 64-bit nanoseconds. Clocks count from `origin`, so only
// the spans of the schedules must fit, in whatever year they lie.
struct FastEligibility {
  bool exact = false;
  Nanos clock_ceiling = 0;  // from the origin; with time data, when exact
  InstantOrigin origin;
};
FastEligibility fast_eligibility(const Penalizer& penalizer, std::size_t route_size);

}  // namespace tourwright
