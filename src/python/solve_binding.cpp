#include "python/solve_binding.hpp"

#include <array>
#include <utility>

#include "python/arguments.hpp"
#include "python/errors.hpp"
#include "python/extract.hpp"
#include "python/py_output.hpp"
#include "solve.hpp"

namespace tourwright::python {

const char kSolveDoc[] =
    "solve(distance_matrix, duration_matrix=None, job_durations=None, time_windows=None, "
    "operation_times=None, time_limit=None)\n"
    "--\n"
    "\n"
    "Solving the Traveling Salesman Problem with Time Windows.";

namespace {

constexpr std::array<const char*, 6> kParameters{
    "distance_matrix", "duration_matrix", "job_durations",
    "time_windows",    "operation_times", "time_limit",
};

// Copies every value out of the Python arguments, parameter by parameter; the
// first failure ends the call.
SolveInput extract_input(const std::array<PyObject*, 6>& bound) {
  SolveInput input;
  input.distance_matrix =
      extract_argument(kParameters[0], [&] { return extract_matrix(bound[0]); });
  input.duration_matrix = extract_optional(kParameters[1], bound[1], extract_matrix);
  input.job_durations = extract_optional(kParameters[2], bound[2], extract_u64_list);
  input.time_windows = extract_optional(kParameters[3], bound[3], extract_windows);
  input.operation_times = extract_optional(kParameters[4], bound[4], extract_pair);
  input.time_limit = extract_optional(kParameters[5], bound[5], extract_u64);
  return input;
}

}  // namespace

PyObject* solve_entry(PyObject* /*module*/, PyObject* const* args, Py_ssize_t nargs,
                      PyObject* kwnames) {
  return guarded<PyObject*>(nullptr, [&] {
    std::array<PyObject*, 6> bound{};
    bind_fastcall({"solve()", kParameters, 1}, args, nargs, kwnames, bound);
    SolveInput input = extract_input(bound);
    // From here until the result object is made no Python object is touched;
    // only pending signals are polled during the search (between passes, and
    // before every row of a move scan), so that Ctrl-C stops a long search
    // within milliseconds with the handler's exception and no result.
    SolveOutput output = solve(std::move(input), [] {
      if (PyErr_CheckSignals() < 0) throw PythonError{};
    });
    return make_py_output(std::move(output)).release();
  });
}

}  // namespace tourwright::python
