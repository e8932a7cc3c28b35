#include "fast/fast_move_runner.hpp"

#include <algorithm>
#include <utility>

#include "fast/candidate_schedule.hpp"
#include "fast/candidate_totals.hpp"

namespace tourwright {

namespace {

using NarrowLegs = TourLegs<std::uint32_t>;
using WideLegs = TourLegs<std::uint64_t>;

std::variant<NarrowLegs, WideLegs> distances_of(const Penalizer& penalizer, std::size_t n) {
  const auto distance = [&](std::size_t a, std::size_t b) {
    return penalizer.distance_matrix[a][b];
  };
  if (NarrowLegs::Table::fits_in(n, distance)) {
    return std::variant<NarrowLegs, WideLegs>(std::in_place_type<NarrowLegs>, n, distance);
  }
  return std::variant<NarrowLegs, WideLegs>(std::in_place_type<WideLegs>, n, distance);
}

std::optional<WideLegs> travel_times_of(const Penalizer& penalizer, std::size_t n) {
  if (!penalizer.time_scheduler) return std::nullopt;
  const auto& matrix = penalizer.time_scheduler->duration_matrix;
  // A leg of zero or negative length adds no travelling time: the action
  // does nothing. A positive one adds exactly its length, however the
  // operating hours split it, since its pieces always add up to it.
  return WideLegs(n, [&](std::size_t a, std::size_t b) {
    return static_cast<std::uint64_t>(std::max<Nanos>(nanos_of(matrix[a][b]), 0));
  });
}

std::optional<ScheduleClock> clock_of(const Penalizer& penalizer, std::size_t n) {
  if (!penalizer.time_scheduler) return std::nullopt;
  return ScheduleClock(*penalizer.time_scheduler, n);
}

// The keys a candidate must beat: the current solution's, which change only
// when a candidate is accepted.
ScheduleKeys keys_of(const Solution& current) {
  const TimeReport& report = *current.time_report;
  return ScheduleKeys{wide_nanos_of(report.lateness), nanos_of(report.traveling_time),
                      nanos_of(report.duration), nanos_of(report.waiting_time), current.distance};
}

// The first j the scan at i tries.
template <MoveKind Kind, std::size_t Block>
std::size_t first_partner(std::size_t i, std::size_t min_gap) {
  const std::size_t j = i + 1 + min_gap;
  // Rotating a segment by its whole length gives the same route back, whose
  // keys tie with the current ones: never accepted, so not tried.
  if constexpr (Kind == MoveKind::rotate_left || Kind == MoveKind::rotate_right)
    return std::max(j, i + Block);
  return j;
}

}  // namespace

FastMoveRunner::FastMoveRunner(const Penalizer& penalizer)
    : n_(penalizer.distance_matrix.size()),
      distances_(distances_of(penalizer, n_)),
      travel_times_(travel_times_of(penalizer, n_)),
      clock_(clock_of(penalizer, n_)) {}

bool FastMoveRunner::handles(LocalMove move, std::size_t min_gap) const {
  const auto shape = shape_of(move);
  return shape && min_gap < n_ && min_gap + 2 >= shape->block;
}

bool FastMoveRunner::run(const Penalizer& penalizer, Solution& current, LocalMove move,
                         std::size_t min_gap, const RowHook& before_row) {
  const MoveShape shape = *shape_of(move);
  return std::visit(
      [&]<class Entry>(TourLegs<Entry>& distances) {
        // The current solution may have been replaced since the last scan (a
        // restart); then the caches start from it afresh: O(n) lookups.
        if (!distances.describes(current.route)) distances.rebuild(current.route);
        if (penalizer.time_scheduler) {
          if (!travel_times_->describes(current.route)) travel_times_->rebuild(current.route);
          checkpoints_.rebuild(*clock_, current.route);
        }
        const auto scan = [&]<MoveKind Kind, std::size_t Block>() {
          if (penalizer.time_scheduler) {
            return scan_schedules<Kind, Block>(penalizer, current, move, min_gap, before_row,
                                               distances);
          }
          return scan_distances<Kind, Block>(current, move, min_gap, before_row, distances);
        };
        switch (shape.kind) {
          case MoveKind::reverse:
            return scan.template operator()<MoveKind::reverse, 0>();
          case MoveKind::swap:
            return scan.template operator()<MoveKind::swap, 0>();
          case MoveKind::rotate_left:
            if (shape.block == 1) return scan.template operator()<MoveKind::rotate_left, 1>();
            if (shape.block == 2) return scan.template operator()<MoveKind::rotate_left, 2>();
            return scan.template operator()<MoveKind::rotate_left, 3>();
          case MoveKind::rotate_right:
            if (shape.block == 1) return scan.template operator()<MoveKind::rotate_right, 1>();
            if (shape.block == 2) return scan.template operator()<MoveKind::rotate_right, 2>();
            return scan.template operator()<MoveKind::rotate_right, 3>();
        }
        return false;
      },
      distances_);
}

template <MoveKind Kind, std::size_t Block, class Entry>
bool FastMoveRunner::scan_distances(Solution& current, LocalMove move, std::size_t min_gap,
                                    const RowHook& before_row, TourLegs<Entry>& distances) {
  const std::size_t n = n_;
  bool improved = false;
  const auto accept = [&](std::size_t i, std::size_t j, std::uint64_t total) {
    move(current.route, i, j);
    distances.template after_move<Kind, Block>(current.route, i, j, total);
    current.distance = total;
    improved = true;
  };
  for (std::size_t i = 0; i < n; ++i) {
    if (before_row) before_row();
    std::size_t j = first_partner<Kind, Block>(i, min_gap);
    if (j >= n) continue;
    // The whole tour (i = 0, j = n − 1) is the last candidate of its i.
    const std::size_t end = i == 0 ? n - 1 : n;
    CandidateTotals<Kind, Block, Entry> total_of(distances, i);
    for (; j < end; ++j) {
      const std::uint64_t total = total_of(j);
      if (!(total < current.distance)) continue;
      accept(i, j, total);
      // The locations around i may have moved: anchor the totals afresh.
      total_of = CandidateTotals<Kind, Block, Entry>(distances, i);
    }
    if (i == 0) {
      const std::uint64_t total = distances.template whole_tour_total<Kind, Block>(i, n - 1);
      if (total < current.distance) accept(i, n - 1, total);
    }
  }
  return improved;
}

template <MoveKind Kind, std::size_t Block, class Entry>
bool FastMoveRunner::scan_schedules(const Penalizer& penalizer, Solution& current, LocalMove move,
                                    std::size_t min_gap, const RowHook& before_row,
                                    TourLegs<Entry>& distances) {
  WideLegs& travel_times = *travel_times_;
  const std::size_t n = n_;
  ScheduleKeys keys = keys_of(current);
  bool improved = false;
  for (std::size_t i = 0; i < n; ++i) {
    if (before_row) before_row();
    std::size_t j = first_partner<Kind, Block>(i, min_gap);
    if (j >= n) continue;
    CandidateTotals<Kind, Block, Entry> distance_of(distances, i);
    CandidateTotals<Kind, Block, std::uint64_t> travel_time_of(travel_times, i);
    for (; j < n; ++j) {
      const bool whole_tour = i == 0 && j + 1 == n;
      const std::uint64_t distance =
          whole_tour ? distances.template whole_tour_total<Kind, Block>(i, j) : distance_of(j);
      // The true sum fits (fast_evaluation_is_exact), so the wrapped one is it.
      const auto traveling_time =
          static_cast<Nanos>(whole_tour ? travel_times.template whole_tour_total<Kind, Block>(i, j)
                                        : travel_time_of(j));

      const Route& route = current.route;
      const bool wins = candidate_schedule_wins(
          *clock_, checkpoints_, keys, traveling_time, distance, i, j, n,
          [&](std::size_t k) { return moved_location<Kind, Block>(route, i, j, k); });
      if (!wins) continue;

      move(current.route, i, j);
      distances.template after_move<Kind, Block>(current.route, i, j, distance);
      travel_times.template after_move<Kind, Block>(current.route, i, j,
                                                    static_cast<std::uint64_t>(traveling_time));
      // The accepted solution is evaluated by the literal procedure, so it is
      // exactly the one the literal scan would hold; this runs once per
      // acceptance, not per candidate.
      current = penalizer.penalize(std::move(current.route), false);
      keys = keys_of(current);
      checkpoints_.rebuild(*clock_, current.route);
      distance_of = CandidateTotals<Kind, Block, Entry>(distances, i);
      travel_time_of = CandidateTotals<Kind, Block, std::uint64_t>(travel_times, i);
      improved = true;
    }
  }
  return improved;
}

}  // namespace tourwright
