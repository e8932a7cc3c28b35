#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

#include "failure.hpp"

namespace tourwright {

// Rows of unsigned integers as the caller gives them, of any lengths.
using IntegerRows = std::vector<std::vector<std::uint64_t>>;

// A square matrix whose every entry fits 32 bits, row-major in one flat
// table: 4 bytes an entry, shared by everyone who reads it.
struct PackedMatrix {
  std::size_t n = 0;
  std::shared_ptr<const std::vector<std::uint32_t>> entries;

  std::uint32_t at(std::size_t from, std::size_t to) const { return (*entries)[from * n + to]; }
  // The same, read as rows would be: the row index checked first, then the
  // column, each failing with the index message.
  std::uint32_t checked_at(std::size_t from, std::size_t to) const {
    if (from >= n) fail_index(n, from);
    if (to >= n) fail_index(n, to);
    return at(from, to);
  }
  // Whether each of the first `rows` rows has at least that many entries.
  bool square(std::size_t rows) const { return rows <= n; }
};

// The same for a matrix kept as rows of any lengths.
template <class Rows>
bool rows_square(const Rows& rows, std::size_t n) {
  if (rows.size() < n) return false;
  return std::all_of(rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(n),
                     [n](const auto& row) { return row.size() >= n; });
}

// A matrix argument as it arrives: rows, or packed already (read so from an
// array of 32-bit integers).
using MatrixInput = std::variant<IntegerRows, PackedMatrix>;

// `rows` packed, each row released as soon as it is copied (and, for a large
// matrix, handed back to the system now and then, so that the table grows
// into the memory the rows leave), when the matrix is square, not empty, and
// every entry fits 32 bits; otherwise nothing, and `rows` untouched.
std::optional<PackedMatrix> pack_rows(IntegerRows& rows);

}  // namespace tourwright
