#pragma once

#include <cstddef>
#include <optional>

#include "local_moves.hpp"
#include "output.hpp"

namespace tourwright {

// The eight local moves as four kinds; rotations carry the size of the block
// they move. Knowing the shape lets a candidate be read off the current route
// without building it.
enum class MoveKind { reverse, swap, rotate_left, rotate_right };

struct MoveShape {
  MoveKind kind;
  std::size_t block;  // 1..3 for rotations, 0 otherwise
};

// The shape of one of the eight moves; nothing for any other function.
std::optional<MoveShape> shape_of(LocalMove move);

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

}  // namespace tourwright
