#include "penalizer.hpp"

#include <tuple>
#include <utility>

namespace tourwright {

Solution Penalizer::penalize(Route route, bool record_events) const {
  const std::uint64_t distance = tour_distance(distance_matrix, route);
  std::optional<TimeReport> report;
  if (time_scheduler) report = route_schedule(*time_scheduler, route, record_events);
  return Solution{std::move(route), std::move(report), distance};
}

bool Penalizer::is_better(const Solution& candidate, const Solution& reference) const {
  if (!time_scheduler) return candidate.distance < reference.distance;
  return is_better_with_time(*candidate.time_report, candidate.distance, *reference.time_report,
                             reference.distance);
}

bool is_better_with_time(const TimeReport& candidate, std::uint64_t candidate_distance,
                         const TimeReport& reference, std::uint64_t reference_distance) {
  // Working time is not a key: it is the sum of the job durations on every route.
  return std::tie(candidate.lateness, candidate.traveling_time, candidate.duration,
                  candidate.waiting_time, candidate_distance) <
         std::tie(reference.lateness, reference.traveling_time, reference.duration,
                  reference.waiting_time, reference_distance);
}

}  // namespace tourwright
