#include "fast/fast_scan.hpp"

#include <algorithm>
#include <utility>

#include "fast/legs/candidate_legs.hpp"
#include "fast/legs/candidate_totals.hpp"
#include "fast/move_shapes.hpp"
#include "fast/schedule/candidate_schedule.hpp"
#include "fast/schedule/carried_run.hpp"
#include "fast/schedule/reversal_bound.hpp"
#include "interrupt.hpp"

namespace tourwright {

namespace {

using NarrowLegs = TourLegs<std::uint32_t>;
using WideLegs = TourLegs<std::uint64_t>;

using AnyLegs = FastScan::AnyLegs;

AnyLegs distances_of(const Penalizer& penalizer, std::size_t n) {
  const DistanceTable& distances = penalizer.distance_matrix;
  // The search's own packed table, shared: no second copy.
  if (distances.packed() && distances.size() == n) {
    return AnyLegs(std::in_place_type<NarrowLegs>, NarrowLegs::Table(n, distances.packed()));
  }
  const auto distance = [&](std::size_t a, std::size_t b) { return distances.leg(a, b); };
  if (NarrowLegs::Table::fits_in(n, distance)) {
    return AnyLegs(std::in_place_type<NarrowLegs>, n, distance);
  }
  return AnyLegs(std::in_place_type<WideLegs>, n, distance);
}

// A leg of zero or negative length adds no travelling time: the action does
// nothing. A positive one adds exactly its length, however the operating
// hours split it, since its pieces always add up to it. Packed whole seconds
// (never negative) are shared in seconds; anything else is counted in
// nanoseconds.
std::optional<AnyLegs> travel_times_of(const Penalizer& penalizer, std::size_t n) {
  if (!penalizer.time_scheduler) return std::nullopt;
  const TimeScheduler& scheduler = *penalizer.time_scheduler;
  if (const PackedMatrix& packed = scheduler.packed_durations; packed.entries && packed.n == n) {
    return AnyLegs(std::in_place_type<NarrowLegs>, NarrowLegs::Table(n, packed.entries));
  }
  return AnyLegs(std::in_place_type<WideLegs>, n, [&](std::size_t a, std::size_t b) {
    return static_cast<std::uint64_t>(
        std::max<Nanos>(nanos_of(scheduler.travel_duration(a, b)), 0));
  });
}

Nanos travel_unit_of(const std::optional<AnyLegs>& travel_times) {
  const bool seconds = travel_times && std::holds_alternative<NarrowLegs>(*travel_times);
  return seconds ? Duration::kNanosPerSecond : 1;
}

std::optional<ScheduleClock> clock_of(const Penalizer& penalizer, std::size_t n,
                                      const ScheduleShortcuts* shortcuts,
                                      const FastEligibility& eligibility) {
  if (!penalizer.time_scheduler) return std::nullopt;
  return ScheduleClock(*penalizer.time_scheduler, n, eligibility.origin, eligibility.clock_ceiling,
                       *shortcuts);
}

ScheduleKeys schedule_keys(const Solution& current) {
  const TimeReport& report = *current.time_report;
  return ScheduleKeys{wide_nanos_of(report.lateness), nanos_of(report.traveling_time),
                      nanos_of(report.duration), nanos_of(report.waiting_time), current.distance};
}

// Candidates with time data take up to microseconds each.
constexpr std::size_t kCandidatesBetweenPolls = 256;

// The first j the scan at i tries.
template <MoveKind Kind, std::size_t Block>
std::size_t first_partner(std::size_t i, std::size_t min_gap) {
  return MoveShapeTraits<Kind, Block>::first_partner(i, i + 1 + min_gap);
}

// Where each candidate of row i starts its schedule: the current schedule's
// state before the change, or, for rows that carry a run (rotations left,
// CarriedRun), the run so far, carried one location per candidate until an
// acceptance changes the route under it. Nothing once the run is later than
// the current lateness: every later candidate of the row is at least as late.
template <MoveKind Kind, std::size_t Block>
class RowStarts {
 public:
  RowStarts(const ScheduleClock& clock, const ScheduleCheckpoints& checkpoints,
            const ScheduleKeys& keys, std::size_t i, MoveCounters& counters)
      : clock_(clock), checkpoints_(checkpoints), keys_(keys), i_(i), counters_(counters) {}

  template <class LocationAt>
  std::optional<SimulationStart> at(const Route& route, std::size_t j, LocationAt location_at) {
    if constexpr (!MoveShapeTraits<Kind, Block>::carries_run) {
      return start_at_change(clock_, checkpoints_, i_, location_at);
    } else {
      if (from_scratch_) {
        run_.start(clock_, checkpoints_, route, i_, j, counters_);
        from_scratch_ = false;
      } else {
        run_.extend(clock_, route, j, counters_);
      }
      if (run_.state().lateness > keys_.lateness) return std::nullopt;
      return run_.before_block();
    }
  }
  void route_changed() { from_scratch_ = true; }

 private:
  const ScheduleClock& clock_;
  const ScheduleCheckpoints& checkpoints_;
  const ScheduleKeys& keys_;
  std::size_t i_;
  MoveCounters& counters_;
  CarriedRun<Block> run_;
  bool from_scratch_ = true;
};

}  // namespace

FastScan::FastScan(std::shared_ptr<const Penalizer> penalizer, const ScheduleShortcuts* shortcuts,
                   const FastEligibility& eligibility, const Solution& current)
    : penalizer_(std::move(penalizer)),
      n_(penalizer_->distance_matrix.size()),
      distances_(distances_of(*penalizer_, n_)),
      travel_times_(travel_times_of(*penalizer_, n_)),
      travel_unit_(travel_unit_of(travel_times_)),
      clock_(clock_of(*penalizer_, n_, shortcuts, eligibility)) {
  restart(current);
}

void FastScan::restart(const Solution& current) {
  current_ = current;
  // The same on every route: each visits every location once.
  if (current_.time_report) working_time_ = current_.time_report->working_time;
  std::visit([&](auto& distances) { distances.rebuild(current_.route); }, distances_);
  if (travel_times_) std::visit([&](auto& legs) { legs.rebuild(current_.route); }, *travel_times_);
  if (clock_) refresh_schedule();
}

void FastScan::refresh_schedule() {
  checkpoints_.rebuild(*clock_, current_.route);
  keys_ = schedule_keys(current_);
  lateness_bounds_.rebuild(*clock_, current_.route, checkpoints_);
}

// The checkpoints follow the accepted route's schedule with the clock that
// judges every candidate exactly: its totals are the literal evaluation's,
// without a second walk in date-times. (Every count here is one the literal
// evaluation reaches without overflow: fast_eligibility.)
void FastScan::accept_schedule(std::size_t i, std::size_t j, Nanos traveling_time) {
  checkpoints_.rebuild_after_change(*clock_, current_.route, i, j);
  const ScheduleState& end = checkpoints_.end();
  TimeReport report;
  report.duration = duration_of(end.clock - checkpoints_.begin());
  report.lateness = duration_of(end.lateness);
  report.working_time = working_time_;
  report.waiting_time = duration_of(end.waiting);
  report.traveling_time = duration_of(traveling_time);
  report.start_time = penalizer_->time_scheduler->time_windows[current_.route[0]].windows[0].start;
  report.end_time = report.start_time + report.duration;
  current_.time_report = std::move(report);
  keys_ = schedule_keys(current_);
  lateness_bounds_.rebuild(*clock_, current_.route, checkpoints_);
}

bool FastScan::handles(const PassEntry& entry) const {
  return in_pass_table(entry.shape) && entry.min_gap < n_ && entry.min_gap + 2 >= entry.shape.block;
}

bool FastScan::scan_row(const PassEntry& entry, std::size_t i) {
  return std::visit(
      [&]<class Entry>(TourLegs<Entry>& distances) {
        return with_shape(entry.shape, [&]<MoveKind Kind, std::size_t Block>() {
          if (clock_) {
            return std::visit(
                [&]<class TravelEntry>(TourLegs<TravelEntry>& travel_times) {
                  return scan_schedules<Kind, Block>(entry.move, entry.min_gap, i, distances,
                                                     travel_times);
                },
                *travel_times_);
          }
          return scan_distances<Kind, Block>(entry.move, entry.min_gap, i, distances);
        });
      },
      distances_);
}

template <MoveKind Kind, std::size_t Block, class Entry>
bool FastScan::scan_distances(LocalMove move, std::size_t min_gap, std::size_t i,
                              TourLegs<Entry>& distances) {
  const std::size_t n = n_;
  std::size_t j = first_partner<Kind, Block>(i, min_gap);
  if (j >= n) return false;
  bool improved = false;
  const auto accept = [&](std::size_t j, std::uint64_t total) {
    move(current_.route, i, j);
    distances.template after_move<Kind, Block>(current_.route, i, j, total);
    current_.distance = total;
    improved = true;
  };
  // The whole tour (i = 0, j = n − 1) is the last candidate of its row.
  const std::size_t end = i == 0 ? n - 1 : n;
  CandidateTotals<Kind, Block, Entry> total_of(distances, i);
  for (; j < end; ++j) {
    const std::uint64_t total = total_of(j);
    if (!(total < current_.distance)) continue;
    accept(j, total);
    // The locations around i may have moved: anchor the totals afresh.
    total_of = CandidateTotals<Kind, Block, Entry>(distances, i);
  }
  if (i == 0) {
    const std::uint64_t total = distances.template whole_tour_total<Kind, Block>(i, n - 1);
    if (total < current_.distance) accept(n - 1, total);
  }
  return improved;
}

template <MoveKind Kind, std::size_t Block, class Entry, class TravelEntry>
bool FastScan::scan_schedules(LocalMove move, std::size_t min_gap, std::size_t i,
                              TourLegs<Entry>& distances, TourLegs<TravelEntry>& travel_times) {
  using Shape = MoveShapeTraits<Kind, Block>;
  const std::size_t n = n_;
  std::size_t j = first_partner<Kind, Block>(i, min_gap);
  if (j >= n) return false;
  bool improved = false;
  CandidateTotals<Kind, Block, Entry> distance_of(distances, i);
  CandidateTotals<Kind, Block, TravelEntry> travel_time_of(travel_times, i);
  const CandidateLegs<Kind, Block, TravelEntry> legs_of(travel_times, i, travel_unit_);
  MoveCounters& counters = counters_of(counters_, Kind);
  RowStarts<Kind, Block> starts(*clock_, checkpoints_, keys_, i, counters);
  const CurrentSchedule current{*clock_, checkpoints_, lateness_bounds_, keys_};
  // At i = 0 the beginning moves with the first location: no bound.
  const bool bound_reversals = Shape::reverses_segment && i > 0;
  const auto reset_reversals = [&] {
    if (bound_reversals)
      reversals_.reset(lateness_bounds_, *clock_, current_.route, i,
                       clock_->open_time(checkpoints_.departure(i - 1).clock));
  };
  reset_reversals();
  for (; j < n; ++j) {
    // A row at n in the thousands can take a quarter of a second.
    if (j % kCandidatesBetweenPolls == 0) poll_interrupt();
    const bool whole_tour = i == 0 && j + 1 == n;
    const std::uint64_t distance =
        whole_tour ? distances.template whole_tour_total<Kind, Block>(i, j) : distance_of(j);
    // The true sum fits (fast_eligibility), so the wrapped one is it.
    const std::uint64_t travel_units =
        whole_tour ? travel_times.template whole_tour_total<Kind, Block>(i, j) : travel_time_of(j);
    const Nanos traveling_time = static_cast<Nanos>(travel_units) * travel_unit_;

    const Route& route = current_.route;
    const auto location_at = [&](std::size_t k) {
      return moved_location<Kind, Block>(route, i, j, k);
    };
    const std::optional<SimulationStart> start = starts.at(route, j, location_at);
    if (!start) break;
    const CandidateMove candidate{i,        j,
                                  n,        traveling_time,
                                  distance, Shape::in_order_stretch(i, j),
                                  *start,   bound_reversals ? &reversals_ : nullptr};
    const auto leg_at = [&](std::size_t from, std::size_t to) {
      return legs_of.between(j, from, to);
    };
    const bool wins = candidate_schedule_wins(current, candidate, location_at, leg_at, counters);
    if (!wins) continue;

    move(current_.route, i, j);
    distances.template after_move<Kind, Block>(current_.route, i, j, distance);
    travel_times.template after_move<Kind, Block>(current_.route, i, j, travel_units);
    current_.distance = distance;
    accept_schedule(i, j, traveling_time);
    ++counters.accepted;
    // An acceptance costs O(n log n): a row that accepts many must poll too.
    poll_interrupt();
    starts.route_changed();
    reset_reversals();
    distance_of = CandidateTotals<Kind, Block, Entry>(distances, i);
    travel_time_of = CandidateTotals<Kind, Block, TravelEntry>(travel_times, i);
    improved = true;
  }
  return improved;
}

}  // namespace tourwright
