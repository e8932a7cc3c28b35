#pragma once

#include <compare>
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

  friend auto operator<=>(const RankingKeys&, const RankingKeys&) = default;
};

}  // namespace tourwright
