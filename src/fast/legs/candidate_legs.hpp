#pragma once

#include <cstddef>
#include <cstdint>

#include "fast/legs/tour_legs.hpp"
#include "fast/move_shapes.hpp"
#include "fast/schedule/nanos.hpp"

namespace tourwright {

// The travelling time of each leg a candidate's schedule walks, for the
// candidates of one i, read where it is cheap. A leg the current tour has
// already comes from the tour's legs, in position order; a new leg from the
// table row of its end that stays the same along the row (a location next
// to i), which stays in cache. On a table of millions of entries a lookup
// at two arbitrary locations misses the cache once per leg.
template <MoveKind Kind, std::size_t Block, class Entry>
class CandidateLegs {
 public:
  // `unit`: nanoseconds per unit of the legs' table.
  CandidateLegs(const TourLegs<Entry>& legs, std::size_t i, Nanos unit)
      : legs_(legs), i_(i), unit_(unit) {}

  // The leg from candidate position `from` to `to` of move (i, j) (to = 0:
  // the closing leg), in nanoseconds, never negative.
  Nanos between(std::size_t j, std::size_t from, std::size_t to) const {
    return static_cast<Nanos>(units(moved_source<Kind, Block>(i_, j, from),
                                    moved_source<Kind, Block>(i_, j, to))) *
           unit_;
  }

 private:
  // The leg from the location at current position p to that at q.
  std::uint64_t units(std::size_t p, std::size_t q) const {
    const std::size_t n = legs_.size();
    const std::uint64_t* current = legs_.legs();  // current[k]: from k to k + 1
    if (q == (p + 1 == n ? 0 : p + 1)) return current[p];
    if (legs_.table().symmetric() && p == (q + 1 == n ? 0 : q + 1)) return current[q];
    const std::size_t* tour = legs_.tour();
    const std::size_t a = tour[p];
    const std::size_t b = tour[q];
    if (held_by_row(p)) return legs_.table().outgoing(a)[b];
    if (held_by_row(q)) return legs_.table().incoming(b)[a];
    return legs_.table().at(a, b);
  }

  // Positions i − 1 .. i + Block + 1, whose locations every candidate of the
  // row meets.
  bool held_by_row(std::size_t p) const { return p + 1 >= i_ && p <= i_ + Block + 1; }

  const TourLegs<Entry>& legs_;
  std::size_t i_;
  Nanos unit_;
};

}  // namespace tourwright
