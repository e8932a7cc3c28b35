#pragma once

#include <cstdint>

namespace tourwright {

// The keys of the time-data order, in their order: lateness, travelling
// time, total duration, waiting time, then distance. The smaller wins and
// ties never win. Working time is not a key: it is the sum of the job
// durations on every route. The literal evaluation compares durations, the
// fast one nanosecond counts (lateness, a sum over all jobs, in 128 bits).
template <class Lateness, class Span>
struct RankingKeys {
  Lateness lateness{};
  Span traveling_time{};
  Span duration{};
  Span waiting_time{};
  std::uint64_t distance = 0;

  // The first key that differs decides (the fast scan compares keys several
  // times per candidate, so this stops there).
  friend constexpr bool operator<(const RankingKeys& a, const RankingKeys& b) {
    if (a.lateness != b.lateness) return a.lateness < b.lateness;
    if (a.traveling_time != b.traveling_time) return a.traveling_time < b.traveling_time;
    if (a.duration != b.duration) return a.duration < b.duration;
    if (a.waiting_time != b.waiting_time) return a.waiting_time < b.waiting_time;
    return a.distance < b.distance;
  }
  friend constexpr bool operator>=(const RankingKeys& a, const RankingKeys& b) { return !(a < b); }
};

}  // namespace tourwright
