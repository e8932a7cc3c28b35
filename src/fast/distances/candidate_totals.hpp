#pragma once

#include <array>
#include <cstddef>

#include "fast/distances/tour_legs.hpp"
#include "fast/moved_location.hpp"

namespace tourwright {

// The closed-tour total of every candidate that move (i, j) makes from the
// current tour, for one i and increasing j. The path from the location after
// j around to the one before i is untouched; only the legs from `prev` (the
// location before i) into the segment, inside it and out to `next` (the one
// after j) differ, and which legs those are is fixed by the move's shape.
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
  using Legs = TourLegs<Entry>;
  using Sum = typename Legs::Sum;
  using Row = typename Legs::Row;

  CandidateTotals(const Legs& legs, std::size_t i) : tour_(legs.tour()), leg_(legs.legs()), i_(i) {
    const std::size_t n = legs.size();
    const std::size_t before = i == 0 ? n - 1 : i - 1;
    const std::size_t prev = tour_[before];
    const std::size_t first = tour_[i];
    const auto& table = legs.table();
    base_ = legs.total() - leg_[before];
    if constexpr (Kind == MoveKind::reverse) {
      // Reversed, the inner legs are the backward ones: gain[j] − gain[i].
      gain_ = legs.reversal_gains();
      base_ -= gain_[i];
      rows_ = {table.outgoing(prev), table.outgoing(first)};
    } else if constexpr (Kind == MoveKind::swap) {
      base_ -= leg_[i];
      rows_ = {table.outgoing(prev), table.incoming(tour_[i + 1]), table.incoming(first),
               table.outgoing(first)};
    } else if constexpr (Kind == MoveKind::rotate_left) {
      // The block i..i+Block−1 leaves its place: prev now leads to i + Block.
      base_ += table.at(prev, tour_[i + Block]) - leg_[i + Block - 1];
      rows_ = {table.incoming(first), table.outgoing(tour_[i + Block - 1])};
    } else {
      skip_ = legs.skips(Block + 1);
      rows_ = {table.outgoing(prev), table.incoming(first)};
    }
  }

  Sum operator()(std::size_t j) const {
    const std::size_t* t = tour_;
    const Sum* leg = leg_;
    if constexpr (Kind == MoveKind::reverse) {
      // New order: prev, j, j − 1, …, i, next.
      return base_ - leg[j] + Sum(rows_[0][t[j]]) + Sum(rows_[1][t[j + 1]]) + gain_[j];
    } else if constexpr (Kind == MoveKind::swap) {
      // New order: prev, j, i + 1, …, j − 1, i, next (prev, j, i, next when adjacent).
      const std::size_t last = t[j];
      const Sum ends = base_ - leg[j] + Sum(rows_[0][last]) + Sum(rows_[3][t[j + 1]]);
      if (j == i_ + 1) return ends + Sum(rows_[2][last]);
      return ends - leg[j - 1] + Sum(rows_[1][last]) + Sum(rows_[2][t[j - 1]]);
    } else if constexpr (Kind == MoveKind::rotate_left) {
      // New order: prev, i + Block, …, j, i, …, i + Block − 1, next.
      return base_ - leg[j] + Sum(rows_[0][t[j]]) + Sum(rows_[1][t[j + 1]]);
    } else {
      // New order: prev, j − Block + 1, …, j, i, …, j − Block, next.
      return base_ - leg[j] - leg[j - Block] + Sum(rows_[0][t[j + 1 - Block]]) +
             Sum(rows_[1][t[j]]) + skip_[j - Block];
    }
  }

 private:
  static constexpr std::size_t kRows = Kind == MoveKind::swap ? 4 : 2;

  const std::size_t* tour_;
  const Sum* leg_;
  Sum base_ = 0;
  const Sum* gain_ = nullptr;
  const Sum* skip_ = nullptr;
  std::size_t i_;
  std::array<Row, kRows> rows_{};
};

}  // namespace tourwright
