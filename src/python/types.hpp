#pragma once

#include "python/handle.hpp"

namespace tourwright::python {

// Builds a heap type from `spec` with the given base (or object). When the
// interpreter refuses, its error is printed and the operation fails with the
// internal failure "failed to create type object for NAME".
PyTypeObject* create_type(PyType_Spec& spec, PyTypeObject* base);

// Adds a class attribute to a type that Python code cannot modify.
void set_class_attribute(PyTypeObject* type, const char* name, PyObject* value);

// tp_new of classes that Python cannot instantiate.
PyObject* no_constructor(PyTypeObject* subtype, PyObject* args, PyObject* kwargs);

// tp_dealloc of heap types whose instances hold only plain values.
void release_plain_object(PyObject* self);

}  // namespace tourwright::python
