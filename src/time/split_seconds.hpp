#pragma once

#include <compare>
#include <cstdint>

namespace tourwright::detail {

inline constexpr std::int32_t kNanosPerSecond = 1'000'000'000;

// Whole seconds plus a nanosecond part in 0..999,999,999: the representation
// shared by durations, instants and times of day. Sums and differences carry
// between the parts; range checks belong to the types built on it.
struct SplitSeconds {
  std::int64_t secs = 0;
  std::int32_t nanos = 0;

  friend constexpr auto operator<=>(const SplitSeconds&, const SplitSeconds&) = default;
  friend constexpr bool operator==(const SplitSeconds&, const SplitSeconds&) = default;

  friend constexpr SplitSeconds operator+(SplitSeconds a, SplitSeconds b) {
    SplitSeconds sum{a.secs + b.secs, a.nanos + b.nanos};
    if (sum.nanos >= kNanosPerSecond) {
      sum.nanos -= kNanosPerSecond;
      ++sum.secs;
    }
    return sum;
  }

  friend constexpr SplitSeconds operator-(SplitSeconds a, SplitSeconds b) {
    SplitSeconds difference{a.secs - b.secs, a.nanos - b.nanos};
    if (difference.nanos < 0) {
      difference.nanos += kNanosPerSecond;
      --difference.secs;
    }
    return difference;
  }
};

}  // namespace tourwright::detail
