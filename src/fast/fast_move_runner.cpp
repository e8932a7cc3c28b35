#include "fast/fast_move_runner.hpp"

#include <algorithm>
#include <utility>

#include "fast/candidate_schedule.hpp"

namespace tourwright {

namespace {

std::optional<TourLegs<Nanos>> travel_times_of(const Penalizer& penalizer, std::size_t n) {
  if (!penalizer.time_scheduler) return std::nullopt;
  const auto& matrix = penalizer.time_scheduler->duration_matrix;
  // A leg of zero or negative length adds no travelling time: the action
  // does nothing. A positive one adds exactly its length, however the
  // operating hours split it, since its pieces always add up to it.
  return TourLegs<Nanos>(n, [&](std::size_t a, std::size_t b) {
    return std::max<Nanos>(nanos_of(matrix[a][b]), 0);
  });
}

std::optional<ScheduleClock> clock_of(const Penalizer& penalizer, std::size_t n) {
  if (!penalizer.time_scheduler) return std::nullopt;
  return ScheduleClock(*penalizer.time_scheduler, n);
}

}  // namespace

FastMoveRunner::FastMoveRunner(const Penalizer& penalizer)
    : n_(penalizer.distance_matrix.size()),
      distances_(n_, [&](std::size_t a, std::size_t b) { return penalizer.distance_matrix[a][b]; }),
      travel_times_(travel_times_of(penalizer, n_)),
      clock_(clock_of(penalizer, n_)) {}

bool FastMoveRunner::handles(LocalMove move, std::size_t min_gap) const {
  const auto shape = shape_of(move);
  return shape && min_gap < n_ && min_gap + 2 >= shape->block;
}

bool FastMoveRunner::run(const Penalizer& penalizer, Solution& current, LocalMove move,
                         std::size_t min_gap) {
  // The current solution may have been replaced since the last scan (a
  // restart), so the caches start from it afresh: O(n), once per scan.
  distances_.rebuild(current.route);
  if (penalizer.time_scheduler) {
    travel_times_->rebuild(current.route);
    checkpoints_.rebuild(*clock_, current.route);
  }
  const MoveShape shape = *shape_of(move);
  switch (shape.kind) {
    case MoveKind::reverse:
      return scan<MoveKind::reverse, 0>(penalizer, current, move, min_gap);
    case MoveKind::swap:
      return scan<MoveKind::swap, 0>(penalizer, current, move, min_gap);
    case MoveKind::rotate_left:
      if (shape.block == 1) return scan<MoveKind::rotate_left, 1>(penalizer, current, move, min_gap);
      if (shape.block == 2) return scan<MoveKind::rotate_left, 2>(penalizer, current, move, min_gap);
      return scan<MoveKind::rotate_left, 3>(penalizer, current, move, min_gap);
    case MoveKind::rotate_right:
      if (shape.block == 1) return scan<MoveKind::rotate_right, 1>(penalizer, current, move, min_gap);
      if (shape.block == 2) return scan<MoveKind::rotate_right, 2>(penalizer, current, move, min_gap);
      return scan<MoveKind::rotate_right, 3>(penalizer, current, move, min_gap);
  }
  return false;
}

template <MoveKind Kind, std::size_t Block>
bool FastMoveRunner::scan(const Penalizer& penalizer, Solution& current, LocalMove move,
                          std::size_t min_gap) {
  constexpr bool kRotation = Kind == MoveKind::rotate_left || Kind == MoveKind::rotate_right;
  const bool timed = penalizer.time_scheduler.has_value();
  const std::size_t n = n_;
  bool improved = false;
  for (std::size_t i = 0; i < n; ++i) {
    if (!timed) distances_.prefetch_rows(current.route, i);
    for (std::size_t j = i + 1 + min_gap; j < n; ++j) {
      // Rotating a segment by its whole length gives the same route back,
      // whose keys tie with the current ones: never accepted.
      if (kRotation && j - i + 1 == Block) continue;
      const std::uint64_t distance = distances_.candidate_total<Kind, Block>(current.route, i, j);
      const bool wins = timed ? schedule_wins<Kind, Block>(current, distance, i, j)
                              : distance < current.distance;
      if (!wins) continue;
      move(current.route, i, j);
      accept(penalizer, current, i, j);
      improved = true;
    }
  }
  return improved;
}

template <MoveKind Kind, std::size_t Block>
bool FastMoveRunner::schedule_wins(const Solution& current,
                                   std::uint64_t distance, std::size_t i, std::size_t j) const {
  const TimeReport& report = *current.time_report;
  const ScheduleKeys keys{wide_nanos_of(report.lateness), nanos_of(report.traveling_time), nanos_of(report.duration),
                          nanos_of(report.waiting_time), current.distance};
  const Nanos traveling_time = travel_times_->candidate_total<Kind, Block>(current.route, i, j);
  const Route& route = current.route;
  return candidate_schedule_wins(
      *clock_, checkpoints_, keys, traveling_time, distance, i, j, n_,
      [&](std::size_t k) { return moved_location<Kind, Block>(route, i, j, k); });
}

void FastMoveRunner::accept(const Penalizer& penalizer, Solution& current, std::size_t i, std::size_t j) {
  distances_.refresh(current.route, i, j);
  if (!penalizer.time_scheduler) {
    current.distance = distances_.total();
    return;
  }
  // The accepted solution is evaluated by the literal procedure, so it is
  // exactly the one the literal scan would hold; this runs once per
  // acceptance, not per candidate.
  current = penalizer.penalize(std::move(current.route), false);
  travel_times_->refresh(current.route, i, j);
  checkpoints_.rebuild(*clock_, current.route);
}

}  // namespace tourwright
