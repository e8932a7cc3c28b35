#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <variant>

#include "fast/move_shape.hpp"
#include "fast/schedule_checkpoints.hpp"
#include "fast/schedule_clock.hpp"
#include "fast/tour_legs.hpp"
#include "local_moves.hpp"
#include "output.hpp"
#include "penalizer.hpp"

namespace tourwright {

// The scan of Solver::run_move without building or evaluating candidates
// from scratch: distances and travelling times come from O(1) deltas on the
// current tour, schedules from the current schedule's checkpoints (see
// candidate_schedule_wins). Accepts exactly the candidates the literal scan
// accepts, in the same order, and leaves the same current solution, provided
// fast_evaluation_is_exact holds for the penalizer. Nothing is allocated per
// candidate; the caches are updated only when a candidate is accepted.
class FastMoveRunner {
 public:
  explicit FastMoveRunner(const Penalizer& penalizer);

  // One of the eight moves, with a gap that keeps every segment tried at
  // least as long as the move needs (shorter ones fail in the literal scan).
  bool handles(LocalMove move, std::size_t min_gap) const;

  // Called before every row (every i) of a scan, never inside an evaluation;
  // it may stop the scan by throwing.
  using RowHook = std::function<void()>;

  bool run(const Penalizer& penalizer, Solution& current, LocalMove move, std::size_t min_gap,
           const RowHook& before_row);

 private:
  template <MoveKind Kind, std::size_t Block, class Entry>
  bool scan_distances(Solution& current, LocalMove move, std::size_t min_gap,
                      const RowHook& before_row, TourLegs<Entry>& distances);
  template <MoveKind Kind, std::size_t Block, class Entry>
  bool scan_schedules(const Penalizer& penalizer, Solution& current, LocalMove move,
                      std::size_t min_gap, const RowHook& before_row, TourLegs<Entry>& distances);

  std::size_t n_;
  // 32-bit entries when every distance fits, decided once per call.
  std::variant<TourLegs<std::uint32_t>, TourLegs<std::uint64_t>> distances_;
  // With time data. Travelling times keep 64-bit entries: there a candidate
  // costs a schedule simulation far more than its table reads.
  std::optional<TourLegs<std::uint64_t>> travel_times_;
  std::optional<ScheduleClock> clock_;
  ScheduleCheckpoints checkpoints_;
};

}  // namespace tourwright
