#include "python/py_output.hpp"

#include <memory>
#include <utility>

#include "python/conversions.hpp"
#include "python/errors.hpp"
#include "python/module_state.hpp"
#include "python/py_events.hpp"
#include "python/types.hpp"

namespace tourwright::python {

namespace {

struct OutputObject {
  PyObject_HEAD SolveOutput* output;  // owned; released with the object
};

const SolveOutput& output_of(PyObject* self) {
  return *reinterpret_cast<OutputObject*>(self)->output;
}

const std::optional<TimeReport>& report_of(PyObject* self) {
  return output_of(self).best_solution.time_report;
}

void release_output(PyObject* self) {
  delete reinterpret_cast<OutputObject*>(self)->output;
  release_plain_object(self);
}

PyObject* get_distance(PyObject* self, void* /*closure*/) {
  return PyLong_FromUnsignedLongLong(output_of(self).best_solution.distance);
}

PyObject* get_route(PyObject* self, void* /*closure*/) {
  return guarded<PyObject*>(nullptr, [&] {
    const Route& route = output_of(self).best_solution.route;
    Object list = checked(PyList_New(static_cast<Py_ssize_t>(route.size())));
    for (std::size_t position = 0; position < route.size(); ++position) {
      PyList_SET_ITEM(list.get(), static_cast<Py_ssize_t>(position),
                      checked(PyLong_FromSize_t(route[position])).release());
    }
    return list.release();
  });
}

// A report total in whole seconds, or None without time data.
template <Duration TimeTotals::* kTotal>
PyObject* get_total(PyObject* self, void* /*closure*/) {
  const auto& report = report_of(self);
  if (!report) Py_RETURN_NONE;
  return PyLong_FromUnsignedLongLong(seconds_for_python((*report).*kTotal));
}

template <DateTime TimeTotals::* kInstant>
PyObject* get_instant(PyObject* self, void* /*closure*/) {
  const auto& report = report_of(self);
  if (!report) Py_RETURN_NONE;
  return PyLong_FromUnsignedLongLong(timestamp_for_python((*report).*kInstant));
}

PyObject* get_iterations(PyObject* self, void* /*closure*/) {
  return PyLong_FromUnsignedLongLong(output_of(self).iterations);
}

PyObject* get_time_taken_microseconds(PyObject* self, void* /*closure*/) {
  return guarded<PyObject*>(nullptr, [&] {
    return PyLong_FromUnsignedLongLong(microseconds_for_python(output_of(self).time_taken));
  });
}

PyObject* get_schedule(PyObject* self, void* /*closure*/) {
  const auto& report = report_of(self);
  if (!report) Py_RETURN_NONE;
  return guarded<PyObject*>(nullptr, [&] { return make_schedule(report->events).release(); });
}

PyGetSetDef output_getset[] = {
    {"distance", get_distance, nullptr, nullptr, nullptr},
    {"route", get_route, nullptr, nullptr, nullptr},
    {"lateness", get_total<&TimeReport::lateness>, nullptr, nullptr, nullptr},
    {"duration", get_total<&TimeReport::duration>, nullptr, nullptr, nullptr},
    {"working_time", get_total<&TimeReport::working_time>, nullptr, nullptr, nullptr},
    {"waiting_time", get_total<&TimeReport::waiting_time>, nullptr, nullptr, nullptr},
    {"traveling_time", get_total<&TimeReport::traveling_time>, nullptr, nullptr, nullptr},
    {"start_time", get_instant<&TimeReport::start_time>, nullptr, nullptr, nullptr},
    {"end_time", get_instant<&TimeReport::end_time>, nullptr, nullptr, nullptr},
    {"iterations", get_iterations, nullptr, nullptr, nullptr},
    {"time_taken_microseconds", get_time_taken_microseconds, nullptr, nullptr, nullptr},
    {"schedule", get_schedule, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PyType_Slot output_slots[] = {
    {Py_tp_new, reinterpret_cast<void*>(no_constructor)},
    {Py_tp_dealloc, reinterpret_cast<void*>(release_output)},
    {Py_tp_getset, output_getset},
    {0, nullptr},
};

PyType_Spec output_spec{"PyOutput", sizeof(OutputObject), 0,
                        Py_TPFLAGS_DEFAULT | Py_TPFLAGS_IMMUTABLETYPE, output_slots};

}  // namespace

PyTypeObject* py_output_type() {
  // Made at module initialisation, under the interpreter lock, and kept.
  PyTypeObject*& type = module_state().py_output;
  if (type == nullptr) type = create_type(output_spec, nullptr);
  return type;
}

Object make_py_output(SolveOutput output) {
  auto owned = std::make_unique<SolveOutput>(std::move(output));
  PyTypeObject* type = py_output_type();
  Object object = checked(type->tp_alloc(type, 0));
  reinterpret_cast<OutputObject*>(object.get())->output = owned.release();
  return object;
}

}  // namespace tourwright::python
