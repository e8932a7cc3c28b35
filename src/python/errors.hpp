#pragma once

#include <new>
#include <stdexcept>
#include <string>

#include "failure.hpp"
#include "python/handle.hpp"

namespace tourwright::python {

// Sets a Python exception and unwinds to the entry point.
[[noreturn]] void raise(PyObject* exception_type, const std::string& message);

// The qualified name of the value's type, as Python error messages show it.
std::string type_qualname(PyObject* value);

// "'TYPE' object cannot be converted to 'TARGET'"
[[noreturn]] void raise_cannot_convert(PyObject* value, const char* target);

// The internal-failure exception: named "pyo3_runtime.PanicException" and
// derived directly from BaseException, so `except Exception` does not catch it.
// Created once per process.
PyObject* internal_failure_type();

// Raises the internal-failure exception with exactly `message`.
void set_internal_failure(const std::string& message);

// Runs a binding body, turning every C++ failure into a Python exception and a
// NULL (or -1) result. Nothing escapes into the interpreter.
template <class Result, class Body>
Result guarded(Result error_result, Body&& body) noexcept {
  try {
    return body();
  } catch (const PythonError&) {
  } catch (const Failure& failure) {
    set_internal_failure(failure.what());
  } catch (const std::bad_alloc&) {
    PyErr_NoMemory();
  } catch (const std::exception& unexpected) {
    set_internal_failure(unexpected.what());
  }
  return error_result;
}

}  // namespace tourwright::python
