#pragma once

#include <cstdint>

#include "time/date_time.hpp"
#include "time/duration.hpp"

namespace tourwright {

// Instants (since an origin near the schedules: see InstantOrigin) and spans
// as plain nanosecond counts. The fast path is only used where every clock
// of every schedule fits 64 bits this way (see fast_eligibility); lateness,
// a sum over all jobs, and the bounds that decide eligibility get 128 bits.
using Nanos = std::int64_t;
__extension__ using WideNanos = __int128;

inline constexpr Nanos kNanosPerDay = 86'400LL * Duration::kNanosPerSecond;

inline Nanos nanos_of(Duration d) {
  return d.seconds() * Duration::kNanosPerSecond + d.subsec_nanos();
}

// The midnight (UTC) on or before the earliest instant of an input: instants
// are counted from here, so that only the spans of its schedules must fit 64
// bits, whatever the year; and times of day are the same from here as from
// the Unix epoch.
struct InstantOrigin {
  std::int64_t unix_seconds = 0;  // a whole number of days

  static InstantOrigin on_or_before(std::int64_t earliest_unix_seconds) {
    constexpr std::int64_t kDay = 86'400;
    const std::int64_t days =
        earliest_unix_seconds / kDay - (earliest_unix_seconds % kDay < 0 ? 1 : 0);
    return {days * kDay};
  }
  // Exact for every instant; a fast-path clock when it fits 64 bits.
  WideNanos wide_nanos(DateTime t) const {
    return (WideNanos{t.unix_seconds()} - unix_seconds) * Duration::kNanosPerSecond +
           t.subsec_nanos();
  }
  Nanos nanos(DateTime t) const { return static_cast<Nanos>(wide_nanos(t)); }
};

// Exact for every value in range, beyond 64-bit nanoseconds (about 292 years).
inline WideNanos wide_nanos_of(Duration d) {
  return WideNanos{d.seconds()} * Duration::kNanosPerSecond + d.subsec_nanos();
}
// And back, for a count of a duration in range.
inline Duration duration_of(WideNanos nanos) {
  const auto seconds = static_cast<std::int64_t>(nanos / Duration::kNanosPerSecond);
  const auto rest = static_cast<std::int64_t>(nanos % Duration::kNanosPerSecond);
  return Duration::from_seconds(seconds) + Duration::from_nanoseconds(rest);
}
inline WideNanos wide_nanos_of(DateTime t) {
  return WideNanos{t.unix_seconds()} * Duration::kNanosPerSecond + t.subsec_nanos();
}

}  // namespace tourwright
