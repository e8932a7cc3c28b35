#pragma once

#include <cstdint>

#include "time/date_time.hpp"
#include "time/duration.hpp"

namespace tourwright {

// Instants (since the Unix epoch) and spans as plain nanosecond counts. The
// fast path is only used where every clock of every schedule fits 64 bits
// this way (see fast_eligibility); lateness, a sum over all jobs,
// and the bounds that decide eligibility get 128 bits.
using Nanos = std::int64_t;
__extension__ using WideNanos = __int128;

inline constexpr Nanos kNanosPerDay = 86'400LL * Duration::kNanosPerSecond;

inline Nanos nanos_of(Duration d) {
  return d.seconds() * Duration::kNanosPerSecond + d.subsec_nanos();
}
inline Nanos nanos_of(DateTime t) {
  return t.unix_seconds() * Duration::kNanosPerSecond + t.subsec_nanos();
}

// Exact for every value in range, beyond 64-bit nanoseconds (about 292 years).
inline WideNanos wide_nanos_of(Duration d) {
  return WideNanos{d.seconds()} * Duration::kNanosPerSecond + d.subsec_nanos();
}
inline WideNanos wide_nanos_of(DateTime t) {
  return WideNanos{t.unix_seconds()} * Duration::kNanosPerSecond + t.subsec_nanos();
}

}  // namespace tourwright
