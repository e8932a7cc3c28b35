#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "penalties/packed_matrix.hpp"
#include "python/handle.hpp"

namespace tourwright::python {

// NumPy integer arrays read straight from their memory instead of item by
// item. Only an exact numpy.ndarray (a subclass may override item access) of
// one of the native integer types, with the given number of dimensions and no
// negative entry, is read so: its numbers are then exactly those the generic
// path would read. Anything else gives nothing, and the generic path reads it
// and raises whatever it raises.
std::optional<std::vector<std::uint64_t>> read_integer_vector(PyObject* value);
std::optional<std::vector<std::vector<std::uint64_t>>> read_integer_matrix(PyObject* value);
// A square array of integers of at most 32 bits, packed straight from its
// memory into the table the search reads (no 64-bit rows in between).
std::optional<PackedMatrix> read_packed_matrix(PyObject* value);

}  // namespace tourwright::python
