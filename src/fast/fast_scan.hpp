#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <variant>

#include "fast/fast_eligibility.hpp"
#include "fast/legs/tour_legs.hpp"
#include "fast/scan_counters.hpp"
#include "fast/schedule/lateness_bounds.hpp"
#include "fast/schedule/reversal_bound.hpp"
#include "fast/schedule/schedule_checkpoints.hpp"
#include "fast/schedule/schedule_clock.hpp"
#include "local_moves.hpp"
#include "output.hpp"
#include "penalizer.hpp"

namespace tourwright {

// One row of a move's scan (Solver::run_move) without building or evaluating
// candidates from scratch: distances and travelling times come from O(1)
// deltas on the current tour, schedules from the current schedule's
// checkpoints (see candidate_schedule_wins). Accepts exactly the candidates
// the literal row accepts, in the same order, and holds the same current
// solution after it, provided fast_eligibility finds it exact for the
// penalizer. Nothing is allocated per candidate; the caches change only when
// a candidate is accepted or the solver restarts.
class FastScan {
 public:
  // A measure's legs: 32-bit entries where every one fits, decided once.
  using AnyLegs = std::variant<TourLegs<std::uint32_t>, TourLegs<std::uint64_t>>;

  // The scan starts from `current`; it keeps the penalizer alive. With time
  // data, `shortcuts` (the solver's, outliving the scan) are those of
  // `eligibility`'s input.
  FastScan(std::shared_ptr<const Penalizer> penalizer, const ScheduleShortcuts* shortcuts,
           const FastEligibility& eligibility, const Solution& current);

  // The solver replaced its current solution (a restart): the caches start
  // from it afresh, O(n) lookups and one schedule.
  void restart(const Solution& current);

  // A move of the table, with a gap that keeps every segment tried at least
  // as long as the move needs (shorter ones fail in the literal scan).
  bool handles(const PassEntry& entry) const;

  // Tries the pairs (i, j) of row i in order, accepting each candidate that
  // beats the current solution at once. True if anything was accepted.
  bool scan_row(const PassEntry& entry, std::size_t i);

  const Solution& current() const { return current_; }
  // What the scans of schedules did so far (nothing counted without time data).
  const ScanCounters& counters() const { return counters_; }

 private:
  template <MoveKind Kind, std::size_t Block, class Entry>
  bool scan_distances(LocalMove move, std::size_t min_gap, std::size_t i,
                      TourLegs<Entry>& distances);
  template <MoveKind Kind, std::size_t Block, class Entry, class TravelEntry>
  bool scan_schedules(LocalMove move, std::size_t min_gap, std::size_t i,
                      TourLegs<Entry>& distances, TourLegs<TravelEntry>& travel_times);
  // After a restart: the checkpoints, the keys to beat and the bounds.
  void refresh_schedule();
  // The same after accepting move (i, j), with the accepted route's time
  // report.
  void accept_schedule(std::size_t i, std::size_t j, Nanos traveling_time);

  std::shared_ptr<const Penalizer> penalizer_;
  std::size_t n_;
  Solution current_;
  AnyLegs distances_;
  // With time data: travelling times, in `travel_unit_` nanoseconds. Whole
  // seconds packed by the scheduler are shared as they are (4 bytes a leg);
  // anything else gets a table of nanoseconds.
  std::optional<AnyLegs> travel_times_;
  Nanos travel_unit_ = 1;
  std::optional<ScheduleClock> clock_;
  Duration working_time_;
  ScheduleCheckpoints checkpoints_;
  LatenessBounds lateness_bounds_;
  ReversalBound reversals_;  // of the row being scanned, for reversals
  ScheduleKeys keys_;
  ScanCounters counters_{};
};

}  // namespace tourwright
