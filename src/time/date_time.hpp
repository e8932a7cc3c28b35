#pragma once

#include <compare>
#include <cstdint>

#include "time/duration.hpp"
#include "time/time_of_day.hpp"

namespace tourwright {

// Days from 1970-01-01 to the given proleptic Gregorian date (negative before).
constexpr std::int64_t days_from_civil(std::int64_t year, unsigned month, unsigned day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const auto year_of_era = static_cast<unsigned>(year - era * 400);
  const unsigned day_of_year = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const unsigned day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146'097 + static_cast<std::int64_t>(day_of_era) - 719'468;
}

// A UTC instant with nanosecond resolution, from −262143-01-01T00:00:00 to
// 262142-12-31T23:59:59.999999999. Held as floor Unix seconds plus nanoseconds,
// so comparison and arithmetic are plain integer work.
class DateTime {
 public:
  static constexpr std::int64_t kMinUnixSeconds = days_from_civil(-262'143, 1, 1) * 86'400;
  static constexpr std::int64_t kMaxUnixSeconds =
      days_from_civil(262'142, 12, 31) * 86'400 + 86'399;

  constexpr DateTime() = default;

  static constexpr DateTime unix_epoch() { return {}; }
  static constexpr DateTime min() { return DateTime({kMinUnixSeconds, 0}); }
  static constexpr DateTime max() {
    return DateTime({kMaxUnixSeconds, Duration::kNanosPerSecond - 1});
  }

  // Fails with "called `Option::unwrap()` on a `None` value" beyond year 262142.
  static DateTime from_unix_seconds(std::uint64_t seconds);

  // Whole seconds since the epoch, rounded down.
  constexpr std::int64_t unix_seconds() const { return value_.secs; }
  constexpr std::int32_t subsec_nanos() const { return value_.nanos; }

  constexpr TimeOfDay time_of_day() const {
    std::int64_t second_of_day = value_.secs % TimeOfDay::kSecondsPerDay;
    if (second_of_day < 0) second_of_day += TimeOfDay::kSecondsPerDay;
    return TimeOfDay::from_parts(static_cast<std::int32_t>(second_of_day), value_.nanos);
  }

  friend constexpr auto operator<=>(const DateTime&, const DateTime&) = default;
  friend constexpr bool operator==(const DateTime&, const DateTime&) = default;

  // Checked: fail with "`DateTime + TimeDelta` overflowed" / "`DateTime - TimeDelta` overflowed".
  // |seconds| < 2^44 and |d| < 2^54: the raw sums cannot overflow 64 bits.
  friend DateTime operator+(DateTime t, Duration d) {
    const DateTime sum(t.value_ + d.value_);
    if (!sum.in_range()) fail_sum_overflow();
    return sum;
  }
  friend DateTime operator-(DateTime t, Duration d) {
    const DateTime difference(t.value_ - d.value_);
    if (!difference.in_range()) fail_difference_overflow();
    return difference;
  }
  DateTime& operator+=(Duration d) { return *this = *this + d; }

  // Two instants in range are at most ~1.7e13 s apart: always a valid duration.
  friend constexpr Duration operator-(DateTime a, DateTime b) {
    return Duration(a.value_ - b.value_);
  }

 private:
  constexpr explicit DateTime(detail::SplitSeconds value) : value_(value) {}
  constexpr bool in_range() const {
    return kMinUnixSeconds <= value_.secs && value_.secs <= kMaxUnixSeconds;
  }

  [[noreturn]] static void fail_sum_overflow();
  [[noreturn]] static void fail_difference_overflow();

  detail::SplitSeconds value_;
};

}  // namespace tourwright
