#include "penalties/distance/distance_matrix.hpp"

namespace tourwright {

std::uint64_t tour_distance(const DistanceMatrix& matrix, const std::vector<std::size_t>& route) {
  const std::size_t first = element_at(route, 0);
  std::uint64_t total = 0;  // unsigned: the sum wraps without an error by design
  for (std::size_t k = 0; k + 1 < route.size(); ++k) {
    total += leg_distance(matrix, route[k], route[k + 1]);
  }
  return total + leg_distance(matrix, route.back(), first);
}

}  // namespace tourwright
