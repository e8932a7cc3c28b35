#pragma once

#include <compare>
#include <cstdint>
#include <limits>

#include "time/split_seconds.hpp"

namespace tourwright {

class DateTime;
class TimeOfDay;

// A signed time span: whole seconds plus a nanosecond part in 0..999,999,999.
// The range is ±(2^63 − 1) milliseconds, so every span fits a signed 64-bit
// millisecond count. A small value type: it sits in the hot path of every
// schedule evaluation.
class Duration {
 public:
  static constexpr std::int32_t kNanosPerSecond = detail::kNanosPerSecond;
  // ⌊(2^63 − 1) / 1000⌋: the largest whole-second magnitude in range.
  static constexpr std::int64_t kMaxWholeSeconds = std::numeric_limits<std::int64_t>::max() / 1000;

  constexpr Duration() = default;

  static constexpr Duration zero() { return {}; }
  static constexpr Duration max() { return Duration({kMaxWholeSeconds, 807'000'000}); }
  static constexpr Duration min() { return Duration({-kMaxWholeSeconds - 1, 193'000'000}); }

  // Fails with "TimeDelta::seconds out of bounds" when |seconds| > kMaxWholeSeconds.
  static Duration from_seconds(std::int64_t seconds);
  // Any signed 64-bit nanosecond count is in range (about ±292 years).
  static constexpr Duration from_nanoseconds(std::int64_t nanoseconds) {
    const detail::SplitSeconds truncated{nanoseconds / kNanosPerSecond,
                                         static_cast<std::int32_t>(nanoseconds % kNanosPerSecond)};
    if (truncated.nanos >= 0) return Duration(truncated);
    return Duration(detail::SplitSeconds{truncated.secs, 0} -
                    detail::SplitSeconds{0, -truncated.nanos});
  }

  constexpr std::int64_t seconds() const { return value_.secs; }
  constexpr std::int32_t subsec_nanos() const { return value_.nanos; }

  // Whole seconds truncated toward zero.
  constexpr std::int64_t whole_seconds() const {
    return (value_.secs < 0 && value_.nanos > 0) ? value_.secs + 1 : value_.secs;
  }

  constexpr bool is_positive() const { return value_ > detail::SplitSeconds{}; }

  friend constexpr auto operator<=>(const Duration&, const Duration&) = default;
  friend constexpr bool operator==(const Duration&, const Duration&) = default;

  // Checked: fail with "`TimeDelta + TimeDelta` overflowed" / "`TimeDelta - TimeDelta` overflowed".
  // Both magnitudes are below 2^54, so the raw sums cannot overflow 64 bits.
  friend Duration operator+(Duration a, Duration b) {
    const Duration sum(a.value_ + b.value_);
    if (!sum.in_range()) fail_sum_overflow();
    return sum;
  }
  friend Duration operator-(Duration a, Duration b) {
    const Duration difference(a.value_ - b.value_);
    if (!difference.in_range()) fail_difference_overflow();
    return difference;
  }
  Duration& operator+=(Duration other) { return *this = *this + other; }
  Duration& operator-=(Duration other) { return *this = *this - other; }

 private:
  // Exact differences and sums of instants build durations from raw parts.
  friend constexpr Duration operator-(TimeOfDay a, TimeOfDay b);
  friend constexpr Duration operator-(DateTime a, DateTime b);
  friend DateTime operator+(DateTime t, Duration d);
  friend DateTime operator-(DateTime t, Duration d);

  constexpr explicit Duration(detail::SplitSeconds value) : value_(value) {}
  constexpr bool in_range() const { return min() <= *this && *this <= max(); }

  [[noreturn]] static void fail_sum_overflow();
  [[noreturn]] static void fail_difference_overflow();

  detail::SplitSeconds value_;
};

}  // namespace tourwright
