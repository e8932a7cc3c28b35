#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fast/legs/leg_table.hpp"
#include "fast/legs/position_legs.hpp"
#include "fast/move_shapes.hpp"
#include "output.hpp"

namespace tourwright {

// The current closed tour under one per-leg measure (distance, or travelling
// time), kept so that the total of any candidate comes in O(1) (see
// CandidateTotals) and so that an accepted move costs little more than
// moving array entries.
//
// All sums are taken in std::uint64_t, wrapping modulo 2^64: total − removed
// + added is then exactly the wrapped sum of the candidate's legs, whatever
// the order of the terms. For distances that wrapped sum is the tour length
// by definition; for travelling times the caller guarantees that the true sum
// fits, so it is the wrapped sum converted back.
//
// `Entry` is how the table stores a leg: std::uint32_t when every leg fits
// (chosen once per call), else std::uint64_t.
template <class Entry>
class TourLegs {
 public:
  using Sum = std::uint64_t;
  using Table = LegTable<Sum, Entry>;
  using Row = typename Table::Row;
  // The longest span between the positions of a skip leg.
  static constexpr std::size_t kMaxSpan = PositionLegs<Sum>::kMaxSpan;

  template <class Measure>
  TourLegs(std::size_t n, Measure measure) : TourLegs(Table(n, measure)) {}
  explicit TourLegs(Table table)
      : n_(table.size()),
        table_(std::move(table)),
        tour_(n_ + 1),
        legs_(n_, table_.symmetric()),
        reversal_gain_(n_) {}

  // Starts over from `route`: O(n) lookups.
  void rebuild(const Route& route) {
    std::copy(route.begin(), route.end(), tour_.begin());
    pad();
    legs_.rebuild(lookup());
    refresh_gains(0, n_ - 1);
    Sum total = 0;
    for (std::size_t k = 0; k < n_; ++k) total += legs_.forward(1)[k];
    total_ = total;
  }

  // Whether the legs describe `route` (they follow every accepted move).
  bool describes(const Route& route) const {
    return std::equal(route.begin(), route.end(), tour_.begin());
  }

  // After move (i, j) was accepted and applied to `moved` (the route the
  // legs described until now), `total` being the candidate's total. Only
  // positions i..j of the route changed.
  template <MoveKind Kind, std::size_t Block>
  void after_move(const Route& moved, std::size_t i, std::size_t j, Sum total) {
    const auto changed = moved.begin() + static_cast<std::ptrdiff_t>(i);
    std::copy(changed, changed + static_cast<std::ptrdiff_t>(j - i + 1),
              tour_.begin() + static_cast<std::ptrdiff_t>(i));
    pad();
    MoveShapeTraits<Kind, Block>::follow(legs_, i, j, lookup());
    refresh_gains(i, j);
    // The candidate's total was computed exactly; no need to sum again.
    total_ = total;
  }

  // The total of move (i, j) rearranging the whole tour (i = 0, j = n − 1):
  // no leg is left to anchor a delta, so it is summed; once per scan.
  template <MoveKind Kind, std::size_t Block>
  Sum whole_tour_total(std::size_t i, std::size_t j) const {
    Sum total = 0;
    for (std::size_t k = 0; k < n_; ++k) {
      total += table_.at(moved_location<Kind, Block>(tour_, i, j, k),
                         moved_location<Kind, Block>(tour_, i, j, (k + 1) % n_));
    }
    return total;
  }

  std::size_t size() const { return n_; }
  Sum total() const { return total_; }
  const Table& table() const { return table_; }
  // The location at each position, for positions up to n: position n
  // repeats position 0, so that "the position after j" needs no wrap.
  const std::size_t* tour() const { return tour_.data(); }
  // legs()[k]: from position k to k + 1; the closing leg last.
  const Sum* legs() const { return legs_.forward(1); }
  // skips(s)[k]: from position k to k + s (mod n), for s = 2..kMaxSpan.
  const Sum* skips(std::size_t span) const { return legs_.forward(span); }
  // reversal_gains()[k]: the sum over positions m < k of the leg from m + 1
  // back to m minus the leg from m to m + 1, so reversing i..j changes the
  // legs inside the segment by gain[j] − gain[i]. Zero when symmetric.
  const Sum* reversal_gains() const { return reversal_gain_.data(); }

 private:
  // The table at the locations the tour has at two positions.
  auto lookup() const {
    return [this](std::size_t from, std::size_t to) { return table_.at(tour_[from], tour_[to]); };
  }

  void pad() { tour_[n_] = tour_[0]; }

  // After a move on i..j only the legs at positions i − 1..j changed (the
  // closing leg, n − 1, is in no gain). Gains up to i − 1 are unchanged; those
  // from j + 1 on all differ by the change of the partial sum up to j + 1, so
  // they are shifted by it, which is exact in modular arithmetic.
  void refresh_gains(std::size_t i, std::size_t j) {
    if (table_.symmetric()) return;  // every gain stays 0
    const std::size_t first = i == 0 ? 0 : i - 1;
    const std::size_t last = std::min(j + 1, n_ - 1);
    const Sum* leg = legs_.forward(1);
    const Sum* back_leg = legs_.backward(1);
    const Sum before = reversal_gain_[last];
    for (std::size_t k = first; k < last; ++k)
      reversal_gain_[k + 1] = reversal_gain_[k] + (back_leg[k] - leg[k]);
    const Sum shift = reversal_gain_[last] - before;
    for (std::size_t k = last + 1; k < n_; ++k) reversal_gain_[k] += shift;
  }

  std::size_t n_;
  Table table_;
  std::vector<std::size_t> tour_;  // n + 1 positions
  PositionLegs<Sum> legs_;
  std::vector<Sum> reversal_gain_;
  Sum total_ = 0;
};

}  // namespace tourwright
