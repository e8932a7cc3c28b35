#pragma once

#include "python/handle.hpp"
#include "solve.hpp"

namespace tourwright::python {

// The PyOutput class, created once at module initialisation.
PyTypeObject* py_output_type();

// A new PyOutput object owning `output`.
Object make_py_output(SolveOutput output);

}  // namespace tourwright::python
