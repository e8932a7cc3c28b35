#pragma once

#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include <utility>

namespace tourwright::python {

// Thrown inside the bindings when a Python exception is already set; the entry
// point turns it into a NULL return.
struct PythonError {};

// An owned reference. `steal` takes over a new reference, `borrow` adds one;
// the destructor releases it, so no path can leak or double-release.
class Object {
 public:
  Object() = default;
  static Object steal(PyObject* new_reference) { return Object(new_reference); }
  static Object borrow(PyObject* borrowed) { return Object(Py_XNewRef(borrowed)); }

  Object(Object&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  Object& operator=(Object&& other) noexcept {
    Object(std::move(other)).swap(*this);
    return *this;
  }
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;
  ~Object() { Py_XDECREF(pointer_); }

  PyObject* get() const { return pointer_; }
  // Hands the reference to the caller (e.g. as a return value to Python).
  PyObject* release() { return std::exchange(pointer_, nullptr); }
  explicit operator bool() const { return pointer_ != nullptr; }

 private:
  explicit Object(PyObject* pointer) : pointer_(pointer) {}
  void swap(Object& other) noexcept { std::swap(pointer_, other.pointer_); }

  PyObject* pointer_ = nullptr;
};

// Takes over the result of a C-API call returning a new reference; a NULL
// result means the call raised, which is propagated as PythonError.
inline Object checked(PyObject* new_reference) {
  if (new_reference == nullptr) throw PythonError{};
  return Object::steal(new_reference);
}

// For C-API calls that return -1 on error.
inline void check_status(int status) {
  if (status < 0) throw PythonError{};
}

}  // namespace tourwright::python
