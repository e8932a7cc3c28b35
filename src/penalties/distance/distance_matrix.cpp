#include "penalties/distance/distance_matrix.hpp"

#include <utility>

namespace tourwright {

DistanceTable::DistanceTable(MatrixInput matrix) {
  if (auto* packed = std::get_if<PackedMatrix>(&matrix)) {
    packed_ = std::move(*packed);
    return;
  }
  auto& rows = std::get<IntegerRows>(matrix);
  if (auto packed = pack_rows(rows)) {
    packed_ = std::move(*packed);
    return;
  }
  rows_ = std::move(rows);
}

DistanceTable::DistanceTable(DistanceMatrix rows) : DistanceTable(MatrixInput(std::move(rows))) {}

bool DistanceTable::square(std::size_t n) const {
  return packed_.entries ? packed_.square(n) : rows_square(rows_, n);
}

std::uint64_t tour_distance(const DistanceTable& table, const std::vector<std::size_t>& route) {
  const std::size_t first = element_at(route, 0);
  std::uint64_t total = 0;  // unsigned: the sum wraps without an error by design
  for (std::size_t k = 0; k + 1 < route.size(); ++k) total += table.leg(route[k], route[k + 1]);
  return total + table.leg(route.back(), first);
}

}  // namespace tourwright
