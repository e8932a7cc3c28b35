#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <vector>

#include "failure.hpp"
#include "penalties/packed_matrix.hpp"

namespace tourwright {

// Row a, column b: the distance from location a to location b, as the caller
// gives it. Rows may have any length; a missing entry fails only when it is
// looked up.
using DistanceMatrix = IntegerRows;

// The distances one search reads. A square matrix whose every entry fits 32
// bits is packed into one flat 32-bit table (or arrives packed), which the
// fast path shares, so the search holds half the caller's matrix instead of
// it and a copy; any other matrix is kept as its rows. Either way a lookup
// reads the very same number and fails with the same message.
class DistanceTable {
 public:
  DistanceTable() = default;
  // Takes over the matrix; rows are packed when they can be (pack_rows).
  DistanceTable(MatrixInput matrix);   // NOLINT(google-explicit-constructor): the rows convert
  DistanceTable(DistanceMatrix rows);  // NOLINT(google-explicit-constructor): the rows convert
  DistanceTable(std::initializer_list<std::vector<std::uint64_t>> rows)
      : DistanceTable(DistanceMatrix(rows)) {}

  std::size_t size() const { return packed_.entries ? packed_.n : rows_.size(); }

  // Whether each of the first n rows has at least n entries.
  bool square(std::size_t n) const;

  // Row index checked first, then the column.
  std::uint64_t leg(std::size_t from, std::size_t to) const {
    if (!packed_.entries) return element_at(element_at(rows_, from), to);
    return packed_.checked_at(from, to);
  }

  // The packed table, row-major n × n; null when the rows are kept.
  const std::shared_ptr<const std::vector<std::uint32_t>>& packed() const {
    return packed_.entries;
  }

 private:
  DistanceMatrix rows_;
  PackedMatrix packed_;
};

// Length of the closed tour, wrapping modulo 2^64. An empty route fails while
// reading its first location.
std::uint64_t tour_distance(const DistanceTable& table, const std::vector<std::size_t>& route);

}  // namespace tourwright
