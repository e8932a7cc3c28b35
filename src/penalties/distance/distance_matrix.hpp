#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "failure.hpp"

namespace tourwright {

// Row a, column b: the distance from location a to location b. Rows may have
// any length; a missing entry fails only when it is looked up.
using DistanceMatrix = std::vector<std::vector<std::uint64_t>>;

// Row index checked first, then the column.
inline std::uint64_t leg_distance(const DistanceMatrix& matrix, std::size_t from, std::size_t to) {
  return element_at(element_at(matrix, from), to);
}

// Length of the closed tour, wrapping modulo 2^64. An empty route fails while
// reading its first location.
std::uint64_t tour_distance(const DistanceMatrix& matrix, const std::vector<std::size_t>& route);

}  // namespace tourwright
