#pragma once

#include <cstddef>

#include "fast/legs/tour_legs.hpp"
#include "fast/move_shapes.hpp"

namespace tourwright {

// The closed-tour total of every candidate that move (i, j) makes from the
// current tour, for one i and increasing j. The path from the location after
// j around to the one before i is untouched; only the legs from `prev` (the
// location before i) into the segment, inside it and out to `next` (the one
// after j) differ, and which legs those are is fixed by the move's shape
// (MoveShapeTraits::anchor and total).
//
// Everything that depends on i alone is read once here: the legs that every
// j removes next to i, and the rows of the table that every j reads (legs
// leaving or entering the locations around i). Each j then costs a few
// entries of those rows, at columns given by the tour, and a few entries of
// the position arrays. Needs i < j < n and not the whole tour (i = 0 and
// j = n − 1; see TourLegs::whole_tour_total); rotations need j − i + 1 > Block.
// Valid until the tour changes.
template <MoveKind Kind, std::size_t Block, class Entry>
class CandidateTotals {
 public:
  using Shape = MoveShapeTraits<Kind, Block>;
  using Sum = TotalsAnchor::Sum;

  // Inlined with operator(), so that the anchor stays in registers.
  [[gnu::always_inline]] CandidateTotals(const TourLegs<Entry>& legs, std::size_t i) {
    const std::size_t n = legs.size();
    const std::size_t before = i == 0 ? n - 1 : i - 1;
    anchor_.tour = legs.tour();
    anchor_.leg = legs.legs();
    anchor_.i = i;
    anchor_.base = legs.total() - anchor_.leg[before];
    Shape::anchor(legs, anchor_.tour[before], anchor_.tour[i], anchor_);
  }

  [[gnu::always_inline]] Sum operator()(std::size_t j) const {
    return Shape::template total<Entry>(anchor_, j);
  }

 private:
  TotalsAnchor anchor_;
};

}  // namespace tourwright
