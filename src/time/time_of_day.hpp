#pragma once

#include <compare>
#include <cstdint>

#include "time/duration.hpp"

namespace tourwright {

// A UTC clock time: seconds since midnight (0..86,399) plus nanoseconds.
class TimeOfDay {
 public:
  static constexpr std::int32_t kSecondsPerDay = 86'400;

  constexpr TimeOfDay() = default;

  // Whole days are dropped: 90,000 s is 01:00:00.
  static constexpr TimeOfDay from_seconds_since_midnight(std::uint64_t seconds) {
    return {static_cast<std::int32_t>(seconds % kSecondsPerDay), 0};
  }
  static constexpr TimeOfDay from_parts(std::int32_t seconds, std::int32_t nanos) {
    return {seconds, nanos};
  }

  constexpr std::int32_t seconds_since_midnight() const { return secs_; }
  constexpr std::int32_t subsec_nanos() const { return nanos_; }

  friend constexpr auto operator<=>(const TimeOfDay&, const TimeOfDay&) = default;
  friend constexpr bool operator==(const TimeOfDay&, const TimeOfDay&) = default;

  // Exact and never out of range: the result lies within ±1 day.
  friend constexpr Duration operator-(TimeOfDay a, TimeOfDay b) {
    std::int64_t secs = a.secs_ - b.secs_;
    std::int32_t nanos = a.nanos_ - b.nanos_;
    if (nanos < 0) {
      nanos += Duration::kNanosPerSecond;
      --secs;
    }
    return {secs, nanos};
  }

 private:
  constexpr TimeOfDay(std::int32_t secs, std::int32_t nanos) : secs_(secs), nanos_(nanos) {}

  std::int32_t secs_ = 0;
  std::int32_t nanos_ = 0;
};

}  // namespace tourwright
