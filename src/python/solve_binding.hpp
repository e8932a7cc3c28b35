#pragma once

#include "python/handle.hpp"

namespace tourwright::python {

// solve(distance_matrix, duration_matrix=None, job_durations=None,
//       time_windows=None, operation_times=None, time_limit=None)
PyObject* solve_entry(PyObject* module, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames);

extern const char kSolveDoc[];

}  // namespace tourwright::python
