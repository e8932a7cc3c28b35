#pragma once

#include <compare>
#include <cstdint>

#include "time/duration.hpp"
#include "time/split_seconds.hpp"

namespace tourwright {

// A UTC clock time: seconds since midnight (0..86,399) plus nanoseconds.
class TimeOfDay {
 public:
  static constexpr std::int32_t kSecondsPerDay = 86'400;

  constexpr TimeOfDay() = default;

  // Whole days are dropped: 90,000 s is 01:00:00.
  static constexpr TimeOfDay from_seconds_since_midnight(std::uint64_t seconds) {
    return TimeOfDay({static_cast<std::int64_t>(seconds % kSecondsPerDay), 0});
  }
  static constexpr TimeOfDay from_parts(std::int32_t seconds, std::int32_t nanos) {
    return TimeOfDay({seconds, nanos});
  }

  constexpr std::int32_t seconds_since_midnight() const {
    return static_cast<std::int32_t>(value_.secs);
  }
  constexpr std::int32_t subsec_nanos() const { return value_.nanos; }

  friend constexpr auto operator<=>(const TimeOfDay&, const TimeOfDay&) = default;
  friend constexpr bool operator==(const TimeOfDay&, const TimeOfDay&) = default;

  // Exact and never out of range: the result lies within ±1 day.
  friend constexpr Duration operator-(TimeOfDay a, TimeOfDay b) {
    return Duration(a.value_ - b.value_);
  }

 private:
  constexpr explicit TimeOfDay(detail::SplitSeconds value) : value_(value) {}

  detail::SplitSeconds value_;
};

}  // namespace tourwright
