#pragma once

// Everything the fast scan knows of a move, one specialisation per shape.
// The primary template is only declared: a shape of the pass table without
// a specialisation here fails to compile at with_shape, below.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

#include "failure.hpp"
#include "fast/legs/position_legs.hpp"
#include "local_moves.hpp"
#include "output.hpp"

namespace tourwright {

// The candidate positions first..end−1 inside i..j where move (i, j) keeps
// current locations in their current order, from current position `from`
// on: what the rotations shift, and the middle of a swap.
struct InOrderStretch {
  std::size_t first = 0;
  std::size_t end = 0;
  std::size_t from = 0;
};

// What a candidate's closed-tour total is read from, for one i: see
// CandidateTotals (legs/candidate_totals.hpp), which fills it through
// MoveShapeTraits::anchor and reads it through MoveShapeTraits::total.
struct TotalsAnchor {
  using Sum = std::uint64_t;
  const std::size_t* tour = nullptr;  // tour[n] repeats tour[0]
  const Sum* leg = nullptr;           // leg[k]: from position k to k + 1
  std::size_t i = 0;
  Sum base = 0;                       // the tour less what every j replaces next to i
  const Sum* per_position = nullptr;  // reversal gains or skip legs, by shape
  std::array<const void*, 4> rows{};  // table rows fixed by i, by shape
};

// The primary template has no definition: a shape without formulas is an
// incomplete type. Each specialisation provides:
// - kind_name, for reports;
// - source(i, j, k): the current position whose location move (i, j) puts
//   at position k, i ≤ k ≤ j;
// - first_partner(i, j): the first j worth trying from i at j or later;
// - in_order_stretch(i, j);
// - carries_run: rotations left carry their run along a row (CarriedRun);
// - reverses_segment: the jobs of a reversal are bounded before it is
//   simulated (ReversalBound);
// - anchor(legs, prev, first, anchor) and total<Entry>(anchor, j): the
//   closed-tour total of candidate (i, j) from the current one in O(1),
//   i < j < n, not the whole tour (`prev`: the location before i, `first`
//   the one at i; `next`: the one after j);
// - follow(legs, i, j, lookup): PositionLegs after the move was applied.
template <MoveKind Kind, std::size_t Block>
struct MoveShapeTraits;

template <MoveKind Kind, std::size_t Block>
concept ShapeWithFormulas = requires { sizeof(MoveShapeTraits<Kind, Block>); };

template <class Entry>
const Entry* row_of(const TotalsAnchor& anchor, std::size_t r) {
  return static_cast<const Entry*>(anchor.rows[r]);
}

// Reverse i..j. New order: prev, j, j − 1, …, i, next.
template <>
struct MoveShapeTraits<MoveKind::reverse, 0> {
  static constexpr const char* kind_name = "reverse";
  static constexpr bool carries_run = false;
  static constexpr bool reverses_segment = true;

  [[gnu::always_inline]] static std::size_t source(std::size_t i, std::size_t j, std::size_t k) {
    return i + j - k;
  }
  static std::size_t first_partner(std::size_t, std::size_t j) { return j; }
  static InOrderStretch in_order_stretch(std::size_t, std::size_t) { return {}; }

  // Reversed, the inner legs are the backward ones: gain[j] − gain[i].
  template <class Legs>
  [[gnu::always_inline]] static void anchor(const Legs& legs, std::size_t prev, std::size_t first,
                                            TotalsAnchor& a) {
    a.per_position = legs.reversal_gains();
    a.base -= a.per_position[a.i];
    a.rows = {legs.table().outgoing(prev), legs.table().outgoing(first)};
  }
  template <class Entry>
  [[gnu::always_inline]] static TotalsAnchor::Sum total(const TotalsAnchor& a, std::size_t j) {
    using Sum = TotalsAnchor::Sum;
    return a.base - a.leg[j] + Sum(row_of<Entry>(a, 0)[a.tour[j]]) +
           Sum(row_of<Entry>(a, 1)[a.tour[j + 1]]) + a.per_position[j];
  }
  template <class Value, class Lookup>
  static void follow(PositionLegs<Value>& legs, std::size_t i, std::size_t j, Lookup lookup) {
    legs.after_reverse(i, j, lookup);
  }
};

// Exchange i and j. New order: prev, j, i + 1, …, j − 1, i, next (prev, j,
// i, next when adjacent).
template <>
struct MoveShapeTraits<MoveKind::swap, 0> {
  static constexpr const char* kind_name = "swap";
  static constexpr bool carries_run = false;
  static constexpr bool reverses_segment = false;

  [[gnu::always_inline]] static std::size_t source(std::size_t i, std::size_t j, std::size_t k) {
    return k == i ? j : k == j ? i : k;
  }
  static std::size_t first_partner(std::size_t, std::size_t j) { return j; }
  static InOrderStretch in_order_stretch(std::size_t i, std::size_t j) { return {i + 1, j, i + 1}; }

  template <class Legs>
  [[gnu::always_inline]] static void anchor(const Legs& legs, std::size_t prev, std::size_t first,
                                            TotalsAnchor& a) {
    a.base -= a.leg[a.i];
    a.rows = {legs.table().outgoing(prev), legs.table().incoming(a.tour[a.i + 1]),
              legs.table().incoming(first), legs.table().outgoing(first)};
  }
  template <class Entry>
  [[gnu::always_inline]] static TotalsAnchor::Sum total(const TotalsAnchor& a, std::size_t j) {
    using Sum = TotalsAnchor::Sum;
    const std::size_t last = a.tour[j];
    const Sum ends = a.base - a.leg[j] + Sum(row_of<Entry>(a, 0)[last]) +
                     Sum(row_of<Entry>(a, 3)[a.tour[j + 1]]);
    if (j == a.i + 1) return ends + Sum(row_of<Entry>(a, 2)[last]);
    return ends - a.leg[j - 1] + Sum(row_of<Entry>(a, 1)[last]) +
           Sum(row_of<Entry>(a, 2)[a.tour[j - 1]]);
  }
  template <class Value, class Lookup>
  static void follow(PositionLegs<Value>& legs, std::size_t i, std::size_t j, Lookup lookup) {
    legs.after_swap(i, j, lookup);
  }
};

// Rotating a segment by its whole length gives the same route back, whose
// keys tie with the current ones: never accepted, so not tried.
template <std::size_t Block>
std::size_t longer_than_block(std::size_t i, std::size_t j) {
  return std::max(j, i + Block);
}

// The block i..i+Block−1 moves behind j. New order: prev, i + Block, …, j,
// i, …, i + Block − 1, next.
template <std::size_t Block>
  requires(Block >= 1 && Block <= 3)
struct MoveShapeTraits<MoveKind::rotate_left, Block> {
  static constexpr const char* kind_name = "rotate left";
  static constexpr bool carries_run = true;
  static constexpr bool reverses_segment = false;

  [[gnu::always_inline]] static std::size_t source(std::size_t i, std::size_t j, std::size_t k) {
    return k + Block <= j ? k + Block : k + Block - (j - i + 1);
  }
  static std::size_t first_partner(std::size_t i, std::size_t j) {
    return longer_than_block<Block>(i, j);
  }
  static InOrderStretch in_order_stretch(std::size_t i, std::size_t j) {
    return {i, j + 1 - Block, i + Block};
  }

  // The block leaves its place: prev now leads to i + Block.
  template <class Legs>
  [[gnu::always_inline]] static void anchor(const Legs& legs, std::size_t prev, std::size_t first,
                                            TotalsAnchor& a) {
    a.base += legs.table().at(prev, a.tour[a.i + Block]) - a.leg[a.i + Block - 1];
    a.rows = {legs.table().incoming(first), legs.table().outgoing(a.tour[a.i + Block - 1])};
  }
  template <class Entry>
  [[gnu::always_inline]] static TotalsAnchor::Sum total(const TotalsAnchor& a, std::size_t j) {
    using Sum = TotalsAnchor::Sum;
    return a.base - a.leg[j] + Sum(row_of<Entry>(a, 0)[a.tour[j]]) +
           Sum(row_of<Entry>(a, 1)[a.tour[j + 1]]);
  }
  template <class Value, class Lookup>
  static void follow(PositionLegs<Value>& legs, std::size_t i, std::size_t j, Lookup lookup) {
    legs.after_rotate_left(i, j, Block, lookup);
  }
};

// The block j−Block+1..j moves before i. New order: prev, j − Block + 1, …,
// j, i, …, j − Block, next.
template <std::size_t Block>
  requires(Block >= 1 && Block <= 3)
struct MoveShapeTraits<MoveKind::rotate_right, Block> {
  static constexpr const char* kind_name = "rotate right";
  static constexpr bool carries_run = false;
  static constexpr bool reverses_segment = false;

  [[gnu::always_inline]] static std::size_t source(std::size_t i, std::size_t j, std::size_t k) {
    return k < i + Block ? j + 1 - Block + (k - i) : k - Block;
  }
  static std::size_t first_partner(std::size_t i, std::size_t j) {
    return longer_than_block<Block>(i, j);
  }
  static InOrderStretch in_order_stretch(std::size_t i, std::size_t j) {
    return {i + Block, j + 1, i};
  }

  template <class Legs>
  [[gnu::always_inline]] static void anchor(const Legs& legs, std::size_t prev, std::size_t first,
                                            TotalsAnchor& a) {
    a.per_position = legs.skips(Block + 1);
    a.rows = {legs.table().outgoing(prev), legs.table().incoming(first)};
  }
  template <class Entry>
  [[gnu::always_inline]] static TotalsAnchor::Sum total(const TotalsAnchor& a, std::size_t j) {
    using Sum = TotalsAnchor::Sum;
    return a.base - a.leg[j] - a.leg[j - Block] + Sum(row_of<Entry>(a, 0)[a.tour[j + 1 - Block]]) +
           Sum(row_of<Entry>(a, 1)[a.tour[j]]) + a.per_position[j - Block];
  }
  template <class Value, class Lookup>
  static void follow(PositionLegs<Value>& legs, std::size_t i, std::size_t j, Lookup lookup) {
    legs.after_rotate_right(i, j, Block, lookup);
  }
};

// The current position whose location is at position k of the route that
// move (i, j) would make. Needs i < j, and a segment longer than the block
// for rotations.
template <MoveKind Kind, std::size_t Block>
[[gnu::always_inline]] inline std::size_t moved_source(std::size_t i, std::size_t j,
                                                       std::size_t k) {
  if (k < i || k > j) return k;
  return MoveShapeTraits<Kind, Block>::source(i, j, k);
}

// The location there, in `route` rearranged by the move.
template <MoveKind Kind, std::size_t Block, class Locations>
[[gnu::always_inline]] inline std::size_t moved_location(const Locations& route, std::size_t i,
                                                         std::size_t j, std::size_t k) {
  return route[moved_source<Kind, Block>(i, j, k)];
}

// Whether `shape` is one of the pass table's, which all have formulas.
constexpr bool in_pass_table(MoveShape shape) {
  // Iterators, not std::ranges: libc++ 14 has no ranges algorithms.
  return std::any_of(kPassTable.begin(), kPassTable.end(),
                     [shape](const PassEntry& entry) { return entry.shape == shape; });
}

namespace detail {

// The table's shapes one by one, each turned into compile-time parameters.
// Every row returns what row 0 does.
template <std::size_t Row, class Body>
auto with_table_shape(MoveShape shape, Body& body)
    -> decltype(body.template operator()<kPassTable[0].shape.kind, kPassTable[0].shape.block>()) {
  constexpr MoveShape here = kPassTable[Row].shape;
  static_assert(ShapeWithFormulas<here.kind, here.block>,
                "a move of the pass table has no fast formulas: add its MoveShapeTraits "
                "specialisation in fast/move_shapes.hpp");
  if constexpr (ShapeWithFormulas<here.kind, here.block>) {
    if (shape == here) return body.template operator()<here.kind, here.block>();
  }
  if constexpr (Row + 1 < kPassTable.size()) return with_table_shape<Row + 1>(shape, body);
  // FastScan::handles admits only the table's shapes.
  fail("no fast formulas for this move shape");
}

}  // namespace detail

// Calls body.template operator()<Kind, Block>() for `shape`, which must be a
// shape of the pass table: the one place where a move's shape becomes the
// compile-time parameters of its formulas.
template <class Body>
decltype(auto) with_shape(MoveShape shape, Body&& body) {
  return detail::with_table_shape<0>(shape, body);
}

// The name of a kind of the pass table, for reports.
inline const char* kind_name(MoveKind kind) {
  for (const PassEntry& entry : kPassTable) {
    if (entry.shape.kind == kind) {
      return with_shape(entry.shape, []<MoveKind Kind, std::size_t Block>() {
        return MoveShapeTraits<Kind, Block>::kind_name;
      });
    }
  }
  return "unknown";
}

}  // namespace tourwright
