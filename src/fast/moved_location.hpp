#pragma once

#include <cstddef>

#include "local_moves.hpp"
#include "output.hpp"

namespace tourwright {

// Calls body.template operator()<Kind, Block>() for `shape`: the one place
// where a move's shape becomes the compile-time parameters of the formulas.
template <class Body>
decltype(auto) with_shape(MoveShape shape, Body&& body) {
  switch (shape.kind) {
    case MoveKind::reverse:
      return body.template operator()<MoveKind::reverse, 0>();
    case MoveKind::swap:
      return body.template operator()<MoveKind::swap, 0>();
    case MoveKind::rotate_left:
      if (shape.block == 1) return body.template operator()<MoveKind::rotate_left, 1>();
      if (shape.block == 2) return body.template operator()<MoveKind::rotate_left, 2>();
      return body.template operator()<MoveKind::rotate_left, 3>();
    case MoveKind::rotate_right:
      break;
  }
  // rotate_right, after the switch, so that every path returns a value.
  if (shape.block == 1) return body.template operator()<MoveKind::rotate_right, 1>();
  if (shape.block == 2) return body.template operator()<MoveKind::rotate_right, 2>();
  return body.template operator()<MoveKind::rotate_right, 3>();
}

// Whether `shape` has formulas here: rotations of blocks 1 to 3, and the
// reverse and the swap.
constexpr bool has_formula(MoveShape shape) {
  const bool rotation = shape.kind == MoveKind::rotate_left || shape.kind == MoveKind::rotate_right;
  return rotation ? shape.block >= 1 && shape.block <= 3 : shape.block == 0;
}

// The location at position k of the route that move (i, j) would make from
// `route`. Needs i < j, and a segment longer than the block for rotations.
template <MoveKind Kind, std::size_t Block>
std::size_t moved_location(const Route& route, std::size_t i, std::size_t j, std::size_t k) {
  if (k < i || k > j) return route[k];
  if constexpr (Kind == MoveKind::reverse) {
    return route[i + j - k];
  } else if constexpr (Kind == MoveKind::swap) {
    return k == i ? route[j] : k == j ? route[i] : route[k];
  } else if constexpr (Kind == MoveKind::rotate_left) {
    // Positions i..j−Block take the locations behind the block; the block follows.
    return k + Block <= j ? route[k + Block] : route[k + Block - (j - i + 1)];
  } else {
    // The block j−Block+1..j comes first; the rest follows it.
    return k < i + Block ? route[j + 1 - Block + (k - i)] : route[k - Block];
  }
}

// The candidate positions first..end−1 inside i..j where move (i, j) keeps
// current locations in their current order, from current position `from`
// on: what the rotations shift, and the middle of a swap.
struct InOrderStretch {
  std::size_t first = 0;
  std::size_t end = 0;
  std::size_t from = 0;
};

template <MoveKind Kind, std::size_t Block>
InOrderStretch in_order_stretch(std::size_t i, std::size_t j) {
  if constexpr (Kind == MoveKind::swap) {
    return {i + 1, j, i + 1};
  } else if constexpr (Kind == MoveKind::rotate_left) {
    return {i, j + 1 - Block, i + Block};
  } else if constexpr (Kind == MoveKind::rotate_right) {
    return {i + Block, j + 1, i};
  } else {
    return {};
  }
}

}  // namespace tourwright
