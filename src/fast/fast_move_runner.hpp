#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

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
// candidate; the caches are refreshed only when a candidate is accepted.
class FastMoveRunner {
 public:
  explicit FastMoveRunner(const Penalizer& penalizer);

  // One of the eight moves, with a gap that keeps every segment tried at
  // least as long as the move needs (shorter ones fail in the literal scan).
  bool handles(LocalMove move, std::size_t min_gap) const;

  bool run(const Penalizer& penalizer, Solution& current, LocalMove move, std::size_t min_gap);

 private:
  template <MoveKind Kind, std::size_t Block>
  bool scan(const Penalizer& penalizer, Solution& current, LocalMove move, std::size_t min_gap);
  template <MoveKind Kind, std::size_t Block>
  bool schedule_wins(const Solution& current, std::uint64_t distance, std::size_t i, std::size_t j) const;
  void accept(const Penalizer& penalizer, Solution& current, std::size_t i, std::size_t j);

  std::size_t n_;
  TourLegs<std::uint64_t> distances_;
  // With time data:
  std::optional<TourLegs<Nanos>> travel_times_;
  std::optional<ScheduleClock> clock_;
  ScheduleCheckpoints checkpoints_;
};

}  // namespace tourwright
