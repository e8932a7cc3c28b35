// The tourwright extension module: single-phase initialisation, one module
// object per process, claimed by the first interpreter that imports it.

#include <atomic>
#include <cstdint>

#include "python/binding_messages.hpp"
#include "python/errors.hpp"
#include "python/handle.hpp"
#include "python/module_state.hpp"
#include "python/py_output.hpp"
#include "python/solve_binding.hpp"

namespace tourwright::python {

namespace {

PyMethodDef solve_method{"solve",
                         reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(solve_entry)),
                         METH_FASTCALL | METH_KEYWORDS, kSolveDoc};

PyModuleDef module_definition{
    PyModuleDef_HEAD_INIT,
    "tourwright",
    "Traveling Salesman Problem with Time Windows solver for one vehicle or worker.",
    0,  // no per-module state; a non-negative size lets re-imports call us again
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
};

// Appends `name` to __all__ (creating it on first use), then sets the attribute.
void add_public(PyObject* module, const char* name, PyObject* value) {
  Object all = Object::steal(PyObject_GetAttrString(module, "__all__"));
  if (!all) {
    if (!PyErr_ExceptionMatches(PyExc_AttributeError)) throw PythonError{};
    PyErr_Clear();
    all = checked(PyList_New(0));
    check_status(PyObject_SetAttrString(module, "__all__", all.get()));
  }
  const Object text = checked(PyUnicode_FromString(name));
  check_status(PyList_Append(all.get(), text.get()));
  check_status(PyObject_SetAttrString(module, name, value));
}

Object create_module() {
  Object module = checked(PyModule_Create2(&module_definition, 1013));
#ifdef Py_GIL_DISABLED
  // The search keeps native state that is not meant for concurrent use.
  check_status(PyUnstable_Module_SetGIL(module.get(), Py_MOD_GIL_USED));
#endif
  const Object name = checked(PyModule_GetNameObject(module.get()));
  const Object solve = checked(PyCFunction_NewEx(&solve_method, module.get(), name.get()));
  add_public(module.get(), "solve", solve.get());
  add_public(module.get(), "PyOutput", reinterpret_cast<PyObject*>(py_output_type()));
  return module;
}

PyObject* initialise() {
  PyInterpreterState* const state = PyInterpreterState_Get();
#if PY_VERSION_HEX >= 0x030C0000 && PY_VERSION_HEX < 0x030D0000
  // CPython 3.12 runs this function in an isolated subinterpreter and only
  // then refuses the module; a claim made here would lock every interpreter
  // out. Refuse first, with the text CPython would give.
  if (_PyInterpreterState_HasFeature(state, Py_RTFLAGS_MULTI_INTERP_EXTENSIONS)) {
    PyErr_SetString(PyExc_ImportError, messages::kIsolatedSubinterpreter);
    return nullptr;
  }
#endif
  const std::int64_t interpreter = PyInterpreterState_GetID(state);
  if (interpreter == -1) return nullptr;
  ModuleState& kept = module_state();
  std::int64_t expected = -1;
  if (!kept.claimed_interpreter.compare_exchange_strong(expected, interpreter) &&
      expected != interpreter) {
    PyErr_SetString(PyExc_ImportError, messages::kOtherInterpreterHasIt);
    return nullptr;
  }
  if (kept.module != nullptr) return Py_NewRef(kept.module);
  return guarded<PyObject*>(nullptr, [&kept] {
    kept.module = create_module().release();
    return Py_NewRef(kept.module);
  });
}

}  // namespace

ModuleState& module_state() {
  static ModuleState state;
  return state;
}

}  // namespace tourwright::python

PyMODINIT_FUNC PyInit_tourwright() { return tourwright::python::initialise(); }
