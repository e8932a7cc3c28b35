#include "python/types.hpp"

#include <string>
#include <string_view>

#include "python/errors.hpp"

namespace tourwright::python {

PyTypeObject* create_type(PyType_Spec& spec, PyTypeObject* base) {
  // Created as "builtins.NAME", which is what a class without a module part
  // reports as its __module__; the interpreter then shows the bare name in
  // repr() and needs no deprecation warning for a missing module.
  const std::string bare_name = spec.name;
  const std::string qualified_name = "builtins." + bare_name;
  PyType_Spec qualified_spec = spec;
  qualified_spec.name = qualified_name.c_str();
  auto* type = reinterpret_cast<PyTypeObject*>(
      PyType_FromSpecWithBases(&qualified_spec, reinterpret_cast<PyObject*>(base)));
  if (type == nullptr) {
    PyErr_Print();
    fail("failed to create type object for " + bare_name);
  }
  // The type keeps its own copy of the qualified name; its tp_name is pointed
  // at the bare part of that copy, so messages show "PyOutput", not
  // "builtins.PyOutput".
  type->tp_name += std::string_view("builtins.").size();
  return type;
}

void set_class_attribute(PyTypeObject* type, const char* name, PyObject* value) {
  // The types are immutable to Python code, so their dict is filled directly.
  check_status(PyDict_SetItemString(type->tp_dict, name, value));
  PyType_Modified(type);
}

PyObject* no_constructor(PyTypeObject* subtype, PyObject* /*args*/, PyObject* /*kwargs*/) {
  const Object name = Object::steal(PyType_GetName(subtype));
  const char* text = name ? PyUnicode_AsUTF8(name.get()) : nullptr;
  if (text == nullptr) PyErr_Clear();
  PyErr_Format(PyExc_TypeError, "No constructor defined for %s", text ? text : "<unknown>");
  return nullptr;
}

void release_plain_object(PyObject* self) {
  PyTypeObject* type = Py_TYPE(self);
  type->tp_free(self);
  Py_DECREF(type);
}

}  // namespace tourwright::python
