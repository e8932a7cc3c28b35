#include "python/extract.hpp"

#include <algorithm>
#include <string>

#include "python/binding_messages.hpp"
#include "python/errors.hpp"
#include "python/integer_arrays.hpp"

namespace tourwright::python {

std::uint64_t extract_u64(PyObject* value) {
  Object index;
  if (!PyLong_Check(value)) {
    index = checked(PyNumber_Index(value));
    value = index.get();
  }
  const unsigned long long number = PyLong_AsUnsignedLongLong(value);
  if (number == static_cast<unsigned long long>(-1) && PyErr_Occurred() != nullptr) {
    throw PythonError{};
  }
  return number;
}

std::pair<std::uint64_t, std::uint64_t> extract_pair(PyObject* value) {
  if (!PyTuple_Check(value)) raise_cannot_convert(value, "PyTuple");
  const Py_ssize_t length = PyTuple_GET_SIZE(value);
  if (length != 2) {
    raise(PyExc_ValueError, messages::kPairLength + std::to_string(length));
  }
  const std::uint64_t first = extract_u64(PyTuple_GET_ITEM(value, 0));
  return {first, extract_u64(PyTuple_GET_ITEM(value, 1))};
}

void check_list_value(PyObject* value) {
  if (PyUnicode_Check(value)) raise(PyExc_TypeError, messages::kStrIsNotAList);
  if (PySequence_Check(value) == 0) raise_cannot_convert(value, "Sequence");
}

Py_ssize_t reservation_for(PyObject* sequence) {
  // The reported length is only a hint. A failing or lying __len__ must not
  // fail the call (unless it raised something that is not an Exception), and must not make us
  // reserve more than the input can hold: a list of many references to one small object whose
  // __len__ claims 2^60 would otherwise reserve gigabytes per reference. Lists and tuples know
  // their true size; other sequences get a small reservation and grow as they are read.
  constexpr Py_ssize_t kLargestUnverifiedReservation = 256;
  const Py_ssize_t reported = PySequence_Size(sequence);
  if (reported < 0) {
    // Ordinary errors are dropped with the hint; a KeyboardInterrupt or
    // SystemExit raised there is the user's and goes on.
    if (!PyErr_ExceptionMatches(PyExc_Exception)) throw PythonError{};
    PyErr_Clear();
    return 0;
  }
  if (PyList_Check(sequence)) return std::min(reported, PyList_GET_SIZE(sequence));
  if (PyTuple_Check(sequence)) return std::min(reported, PyTuple_GET_SIZE(sequence));
  return std::min(reported, kLargestUnverifiedReservation);
}

std::vector<std::uint64_t> extract_u64_list(PyObject* value) {
  if (auto items = read_integer_vector(value)) return std::move(*items);
  return extract_list<std::uint64_t>(value, extract_u64);
}

MatrixInput extract_matrix(PyObject* value) {
  if (auto packed = read_packed_matrix(value)) return std::move(*packed);
  if (auto rows = read_integer_matrix(value)) return std::move(*rows);
  return extract_list<std::vector<std::uint64_t>>(value, extract_u64_list);
}

namespace {

std::vector<std::pair<std::uint64_t, std::uint64_t>> extract_pair_list(PyObject* value) {
  return extract_list<std::pair<std::uint64_t, std::uint64_t>>(value, extract_pair);
}

}  // namespace

std::vector<std::vector<std::pair<std::uint64_t, std::uint64_t>>> extract_windows(PyObject* value) {
  return extract_list<std::vector<std::pair<std::uint64_t, std::uint64_t>>>(value,
                                                                            extract_pair_list);
}

void name_argument_in_type_error(const char* name) {
  if (!PyErr_ExceptionMatches(PyExc_TypeError)) return;
  PyObject* raw_type = nullptr;
  PyObject* raw_value = nullptr;
  PyObject* raw_traceback = nullptr;
  PyErr_Fetch(&raw_type, &raw_value, &raw_traceback);
  PyErr_NormalizeException(&raw_type, &raw_value, &raw_traceback);
  Object type = Object::steal(raw_type);
  Object error = Object::steal(raw_value);
  Object traceback = Object::steal(raw_traceback);
  if (type.get() != PyExc_TypeError) {  // a subclass: passes unchanged
    PyErr_Restore(type.release(), error.release(), traceback.release());
    return;
  }

  Object text = Object::steal(PyObject_Str(error.get()));
  if (!text) {
    PyErr_WriteUnraisable(error.get());
    text = Object::steal(PyUnicode_FromString(messages::kUnprintableTypeError));
    if (!text) return;
  }
  Object message = Object::steal(PyUnicode_FromFormat("argument '%s': %U", name, text.get()));
  if (!message) return;
  Object renamed = Object::steal(PyObject_CallOneArg(PyExc_TypeError, message.get()));
  if (!renamed) return;
  // Keep the original's cause (not the original itself), as a fresh error would.
  PyException_SetCause(renamed.get(), PyException_GetCause(error.get()));
  PyErr_Restore(Py_NewRef(PyExc_TypeError), renamed.release(), nullptr);
}

}  // namespace tourwright::python
