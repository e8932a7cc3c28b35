#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

namespace tourwright {

// Rows of unsigned integers as the caller gives them, of any lengths.
using IntegerRows = std::vector<std::vector<std::uint64_t>>;

// A square matrix whose every entry fits 32 bits, row-major in one flat
// table: 4 bytes an entry, shared by everyone who reads it.
struct PackedMatrix {
  std::size_t n = 0;
  std::shared_ptr<const std::vector<std::uint32_t>> entries;

  std::uint32_t at(std::size_t from, std::size_t to) const { return (*entries)[from * n + to]; }
};

// A matrix argument as it arrives: rows, or packed already (read so from an
// array of 32-bit integers).
using MatrixInput = std::variant<IntegerRows, PackedMatrix>;

// `rows` packed, each row released as soon as it is copied (and, for a large
// matrix, handed back to the system now and then, so that the table grows
// into the memory the rows leave), when the matrix is square, not empty, and
// every entry fits 32 bits; otherwise nothing, and `rows` untouched.
std::optional<PackedMatrix> pack_rows(IntegerRows& rows);

}  // namespace tourwright
