#include "python/errors.hpp"

#include "python/binding_messages.hpp"
#include "python/module_state.hpp"

namespace tourwright::python {

void raise(PyObject* exception_type, const std::string& message) {
  PyErr_SetString(exception_type, message.c_str());
  throw PythonError{};
}

std::string type_qualname(PyObject* value) {
  const Object name = Object::steal(PyType_GetQualName(Py_TYPE(value)));
  const char* text = name ? PyUnicode_AsUTF8(name.get()) : nullptr;
  if (text == nullptr) {
    PyErr_Clear();
    return "<unknown>";
  }
  return text;
}

void raise_cannot_convert(PyObject* value, const char* target) {
  std::string message = "'";
  message += type_qualname(value);
  message += "' object cannot be converted to '";
  message += target;
  message += "'";
  raise(PyExc_TypeError, message);
}

PyObject* internal_failure_type() {
  // Guarded by the interpreter lock, which every caller holds.
  PyObject*& type = module_state().internal_failure;
  if (type == nullptr) {
    type = PyErr_NewExceptionWithDoc(messages::kInternalFailureName, messages::kInternalFailureDoc,
                                     PyExc_BaseException, nullptr);
  }
  return type;
}

void set_internal_failure(const std::string& message) {
  PyObject* type = internal_failure_type();
  if (type == nullptr) return;  // creating the class failed; that error is set
  const Object text = Object::steal(
      PyUnicode_DecodeUTF8(message.data(), static_cast<Py_ssize_t>(message.size()), "replace"));
  if (!text) return;
  PyErr_SetObject(type, text.get());
}

}  // namespace tourwright::python
