#pragma once

#include <cstdint>

#include "failure.hpp"
#include "messages.hpp"
#include "time/date_time.hpp"
#include "time/duration.hpp"

namespace tourwright::python {

// Whole seconds truncated toward zero, read as unsigned 64-bit: a negative
// value would show as 2^64 plus the value (the totals never are negative).
inline std::uint64_t seconds_for_python(Duration duration) {
  return static_cast<std::uint64_t>(duration.whole_seconds());
}

// Unix seconds, sub-second part dropped, read as unsigned 64-bit.
inline std::uint64_t timestamp_for_python(DateTime instant) {
  return static_cast<std::uint64_t>(instant.unix_seconds());
}

// Whole microseconds truncated toward zero; fails past 2^63 − 1 microseconds.
inline std::uint64_t microseconds_for_python(Duration duration) {
  std::int64_t nanos = duration.subsec_nanos();
  if (duration.seconds() < 0 && nanos > 0) nanos -= Duration::kNanosPerSecond;
  std::int64_t micros = 0;
  if (__builtin_mul_overflow(duration.whole_seconds(), std::int64_t{1'000'000}, &micros) ||
      __builtin_add_overflow(micros, nanos / 1'000, &micros)) {
    fail(tourwright::messages::kUnwrapNone);
  }
  return static_cast<std::uint64_t>(micros);
}

}  // namespace tourwright::python
