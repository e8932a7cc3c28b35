#include "python/arguments.hpp"

#include <string>

#include "python/errors.hpp"

namespace tourwright::python {

namespace {

[[noreturn]] void raise_too_many_positional(const Signature& signature, Py_ssize_t given) {
  const std::string count = std::to_string(signature.parameters.size());
  const std::string accepted = signature.required == signature.parameters.size()
                                   ? count
                                   : "from " + std::to_string(signature.required) + " to " + count;
  raise(PyExc_TypeError, std::string(signature.function_name) + " takes " + accepted +
                             " positional arguments but " + std::to_string(given) +
                             (given == 1 ? " was" : " were") + " given");
}

void check_positional_count(const Signature& signature, Py_ssize_t given) {
  if (static_cast<std::size_t>(given) > signature.parameters.size()) {
    raise_too_many_positional(signature, given);
  }
}

// Places one keyword argument, or raises for an unknown or repeated name.
void bind_keyword(const Signature& signature, PyObject* name, PyObject* value,
                  std::span<PyObject*> bound) {
  for (std::size_t index = 0; index < signature.parameters.size(); ++index) {
    if (PyUnicode_CompareWithASCIIString(name, signature.parameters[index]) != 0) continue;
    if (bound[index] != nullptr) {
      raise(PyExc_TypeError, std::string(signature.function_name) +
                                 " got multiple values for argument '" +
                                 signature.parameters[index] + "'");
    }
    bound[index] = value;
    return;
  }
  PyErr_Format(PyExc_TypeError, "%s got an unexpected keyword argument '%S'",
               signature.function_name, name);
  throw PythonError{};
}

void check_required(const Signature& signature, std::span<PyObject*> bound) {
  std::string missing;
  std::size_t count = 0;
  for (std::size_t index = 0; index < signature.required; ++index) {
    if (bound[index] != nullptr) continue;
    if (count > 0) missing += ", ";
    missing += std::string("'") + signature.parameters[index] + "'";
    ++count;
  }
  if (count == 0) return;
  raise(PyExc_TypeError, std::string(signature.function_name) + " missing " +
                             std::to_string(count) + " required positional argument" +
                             (count == 1 ? "" : "s") + ": " + missing);
}

}  // namespace

void bind_fastcall(const Signature& signature, PyObject* const* args, Py_ssize_t nargs,
                   PyObject* kwnames, std::span<PyObject*> bound) {
  const Py_ssize_t positional = PyVectorcall_NARGS(nargs);
  check_positional_count(signature, positional);
  for (Py_ssize_t index = 0; index < positional; ++index) bound[index] = args[index];
  if (kwnames != nullptr) {
    const Py_ssize_t keywords = PyTuple_GET_SIZE(kwnames);
    for (Py_ssize_t k = 0; k < keywords; ++k) {
      bind_keyword(signature, PyTuple_GET_ITEM(kwnames, k), args[positional + k], bound);
    }
  }
  check_required(signature, bound);
}

void bind_tuple_and_dict(const Signature& signature, PyObject* args, PyObject* kwargs,
                         std::span<PyObject*> bound) {
  const Py_ssize_t positional = PyTuple_GET_SIZE(args);
  check_positional_count(signature, positional);
  for (Py_ssize_t index = 0; index < positional; ++index) {
    bound[index] = PyTuple_GET_ITEM(args, index);
  }
  if (kwargs != nullptr) {
    Py_ssize_t position = 0;
    PyObject* name = nullptr;
    PyObject* value = nullptr;
    while (PyDict_Next(kwargs, &position, &name, &value)) {
      bind_keyword(signature, name, value, bound);
    }
  }
  check_required(signature, bound);
}

}  // namespace tourwright::python
