#pragma once

#include <optional>

#include "output.hpp"
#include "penalties/distance/distance_matrix.hpp"
#include "penalties/time/schedule_shortcuts.hpp"
#include "penalties/time/time_input.hpp"

namespace tourwright {

// The objective of the search. Without time data a route is judged by its
// tour length; with it, by lateness, travelling time, total duration, waiting
// time and then distance, compared in that order.
struct Penalizer {
  DistanceTable distance_matrix;
  std::optional<TimeScheduler> time_scheduler;

  // Evaluates `route` (taken over): its closed-tour distance and, with time
  // data, its simulated schedule (events only when `record_events`). A fast
  // search's `shortcuts` change no result.
  Solution penalize(Route route, bool record_events,
                    const ScheduleShortcuts* shortcuts = nullptr) const;

  // True when `candidate` is strictly better than `reference`; ties never win.
  bool is_better(const Solution& candidate, const Solution& reference) const;
};

}  // namespace tourwright
