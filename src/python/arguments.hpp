#pragma once

#include <span>

#include "python/handle.hpp"

namespace tourwright::python {

// A Python-callable signature: positional-or-keyword parameters, the first
// `required` of which must be given.
struct Signature {
  const char* function_name;  // as error messages show it, e.g. "solve()"
  std::span<const char* const> parameters;
  std::size_t required;
};

// Binds a fast call (positional array plus keyword-name tuple) to `bound`,
// one borrowed reference per parameter, NULL where not given. Raises the
// interpreter-style TypeErrors for too many positionals, unknown or repeated
// keywords and missing required arguments.
void bind_fastcall(const Signature& signature, PyObject* const* args, Py_ssize_t nargs,
                   PyObject* kwnames, std::span<PyObject*> bound);

// The same for a classic call with an argument tuple and a keyword dict.
void bind_tuple_and_dict(const Signature& signature, PyObject* args, PyObject* kwargs,
                         std::span<PyObject*> bound);

}  // namespace tourwright::python
