#include "penalizer.hpp"

#include <utility>

#include "ranking.hpp"

namespace tourwright {

Solution Penalizer::penalize(Route route, bool record_events,
                             const ScheduleShortcuts* shortcuts) const {
  const std::uint64_t distance = tour_distance(distance_matrix, route);
  std::optional<TimeReport> report;
  if (time_scheduler) report = route_schedule(*time_scheduler, route, record_events, shortcuts);
  return Solution{std::move(route), std::move(report), distance};
}

namespace {

RankingKeys<Duration, Duration> ranking_keys(const Solution& solution) {
  const TimeReport& report = *solution.time_report;
  return {report.lateness, report.traveling_time, report.duration, report.waiting_time,
          solution.distance};
}

}  // namespace

bool Penalizer::is_better(const Solution& candidate, const Solution& reference) const {
  if (!time_scheduler) return candidate.distance < reference.distance;
  return ranking_keys(candidate) < ranking_keys(reference);
}

}  // namespace tourwright
