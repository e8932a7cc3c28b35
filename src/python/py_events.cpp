#include "python/py_events.hpp"

#include <array>
#include <cstdint>

#include "python/arguments.hpp"
#include "python/binding_messages.hpp"
#include "python/conversions.hpp"
#include "python/errors.hpp"
#include "python/extract.hpp"
#include "python/module_state.hpp"
#include "python/types.hpp"

namespace tourwright::python {

namespace {

// The Python-side kinds, in their tag order (which differs from Event::Kind).
enum class Kind : std::uint8_t { Work = 0, Wait = 1, Travel = 2 };
constexpr std::size_t kKinds = kEventKinds;

// The payload of an event; `location` is shown by PyWork only.
struct Payload {
  std::size_t location;
  std::uint64_t start;
  std::uint64_t end;
};

struct NativeEvent {
  Kind kind;
  Payload payload;
};

struct EventObject {
  PyObject_HEAD NativeEvent event;
};

struct PayloadObject {
  PyObject_HEAD Payload payload;
};

struct KindNames {
  const char* event_class;
  const char* payload_class;
  const char* constructor;
  const char* text_signature_doc;
  const char* attribute;  // the class attribute of PyEvent
};

constexpr std::array<KindNames, kKinds> kKindNames{{
    {"PyEvent_Work", "PyWork", "PyEvent_Work.__new__()", "PyEvent_Work(_0)\n--\n\n", "Work"},
    {"PyEvent_Wait", "PyWait", "PyEvent_Wait.__new__()", "PyEvent_Wait(_0)\n--\n\n", "Wait"},
    {"PyEvent_Travel", "PyTravel", "PyEvent_Travel.__new__()", "PyEvent_Travel(_0)\n--\n\n",
     "Travel"},
}};

const EventTypes& event_types();

std::size_t index_of(Kind kind) { return static_cast<std::size_t>(kind); }

// ---- payload classes -------------------------------------------------------

Payload& payload_of(PyObject* self) { return reinterpret_cast<PayloadObject*>(self)->payload; }

PyObject* payload_location(PyObject* self, void* /*closure*/) {
  return PyLong_FromSize_t(payload_of(self).location);
}

PyObject* payload_window(PyObject* self, void* /*closure*/) {
  const Payload& payload = payload_of(self);
  return Py_BuildValue("(KK)", static_cast<unsigned long long>(payload.start),
                       static_cast<unsigned long long>(payload.end));
}

PyGetSetDef work_getset[] = {
    {"location", payload_location, nullptr, nullptr, nullptr},
    {"window", payload_window, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PyGetSetDef window_only_getset[] = {
    {"window", payload_window, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

Object make_payload_object(Kind kind, const Payload& payload) {
  PyTypeObject* type = event_types().payloads[index_of(kind)];
  Object object = checked(type->tp_alloc(type, 0));
  payload_of(object.get()) = payload;
  return object;
}

// ---- event classes ---------------------------------------------------------

NativeEvent& event_of(PyObject* self) { return reinterpret_cast<EventObject*>(self)->event; }

template <Kind kKind>
Object payload_of_kind(PyObject* self) {
  const NativeEvent& event = event_of(self);
  // Objects are only made by the schedule conversion and the class's own
  // constructor, both of which set the class's kind.
  if (event.kind != kKind) {
    fail(messages::kWrongEventVariant);
  }
  return make_payload_object(kKind, event.payload);
}

template <Kind kKind>
PyObject* kind_payload_attribute(PyObject* self, void* /*closure*/) {
  return guarded<PyObject*>(nullptr, [&] { return payload_of_kind<kKind>(self).release(); });
}

template <Kind kKind>
PyObject* kind_subscript(PyObject* self, PyObject* key) {
  return guarded<PyObject*>(nullptr, [&] {
    const std::uint64_t index = extract_argument("idx", [&] { return extract_u64(key); });
    if (index != 0) raise(PyExc_IndexError, messages::kEventIndexOutOfRange);
    return payload_of_kind<kKind>(self).release();
  });
}

// Item access by position, so that iteration and unpacking work.
template <Kind kKind>
PyObject* kind_item(PyObject* self, Py_ssize_t index) {
  const Object key = Object::steal(PyLong_FromSsize_t(index));
  return key ? kind_subscript<kKind>(self, key.get()) : nullptr;
}

Py_ssize_t kind_length(PyObject* /*self*/) { return 1; }

template <Kind kKind>
PyObject* kind_new(PyTypeObject* subtype, PyObject* args, PyObject* kwargs) {
  return guarded<PyObject*>(nullptr, [&] {
    const KindNames& names = kKindNames[index_of(kKind)];
    static constexpr std::array<const char*, 1> kParameters{"_0"};
    std::array<PyObject*, 1> bound{};
    bind_tuple_and_dict({names.constructor, kParameters, 1}, args, kwargs, bound);
    PyTypeObject* payload_type = event_types().payloads[index_of(kKind)];
    const Payload payload = extract_argument("_0", [&] {
      if (!PyObject_TypeCheck(bound[0], payload_type)) {
        raise_cannot_convert(bound[0], names.payload_class);
      }
      return payload_of(bound[0]);
    });
    Object self = checked(subtype->tp_alloc(subtype, 0));
    event_of(self.get()) = NativeEvent{kKind, payload};
    return self.release();
  });
}

template <Kind kKind>
PyGetSetDef kind_getset[] = {
    {"_0", kind_payload_attribute<kKind>, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

template <Kind kKind>
PyType_Slot kind_slots[] = {
    {Py_tp_new, reinterpret_cast<void*>(kind_new<kKind>)},
    {Py_tp_dealloc, reinterpret_cast<void*>(release_plain_object)},
    {Py_tp_getset, kind_getset<kKind>},
    {Py_tp_doc, const_cast<char*>(kKindNames[index_of(kKind)].text_signature_doc)},
    {Py_mp_subscript, reinterpret_cast<void*>(kind_subscript<kKind>)},
    {Py_mp_length, reinterpret_cast<void*>(kind_length)},
    {Py_sq_item, reinterpret_cast<void*>(kind_item<kKind>)},
    {Py_sq_length, reinterpret_cast<void*>(kind_length)},
    {0, nullptr},
};

template <Kind kKind>
PyType_Spec kind_spec{kKindNames[index_of(kKind)].event_class, 0, 0,
                      Py_TPFLAGS_DEFAULT | Py_TPFLAGS_IMMUTABLETYPE, kind_slots<kKind>};

PyType_Slot event_slots[] = {
    {Py_tp_new, reinterpret_cast<void*>(no_constructor)},
    {Py_tp_dealloc, reinterpret_cast<void*>(release_plain_object)},
    {0, nullptr},
};

PyType_Spec event_spec{"PyEvent", sizeof(EventObject), 0,
                       Py_TPFLAGS_DEFAULT | Py_TPFLAGS_BASETYPE | Py_TPFLAGS_IMMUTABLETYPE,
                       event_slots};

PyType_Slot work_slots[] = {
    {Py_tp_new, reinterpret_cast<void*>(no_constructor)},
    {Py_tp_dealloc, reinterpret_cast<void*>(release_plain_object)},
    {Py_tp_getset, work_getset},
    {0, nullptr},
};

PyType_Slot window_payload_slots[] = {
    {Py_tp_new, reinterpret_cast<void*>(no_constructor)},
    {Py_tp_dealloc, reinterpret_cast<void*>(release_plain_object)},
    {Py_tp_getset, window_only_getset},
    {0, nullptr},
};

PyType_Spec payload_specs[kKinds] = {
    {"PyWork", sizeof(PayloadObject), 0, Py_TPFLAGS_DEFAULT | Py_TPFLAGS_IMMUTABLETYPE, work_slots},
    {"PyWait", sizeof(PayloadObject), 0, Py_TPFLAGS_DEFAULT | Py_TPFLAGS_IMMUTABLETYPE,
     window_payload_slots},
    {"PyTravel", sizeof(PayloadObject), 0, Py_TPFLAGS_DEFAULT | Py_TPFLAGS_IMMUTABLETYPE,
     window_payload_slots},
};

EventTypes create_event_types() {
  EventTypes types;
  for (std::size_t k = 0; k < kKinds; ++k)
    types.payloads[k] = create_type(payload_specs[k], nullptr);
  types.event = create_type(event_spec, nullptr);
  std::array<PyType_Spec*, kKinds> kind_specs{&kind_spec<Kind::Work>, &kind_spec<Kind::Wait>,
                                              &kind_spec<Kind::Travel>};
  const Object match_args = checked(Py_BuildValue("(s)", "_0"));
  for (std::size_t k = 0; k < kKinds; ++k) {
    types.kinds[k] = create_type(*kind_specs[k], types.event);
    set_class_attribute(types.kinds[k], "__match_args__", match_args.get());
    set_class_attribute(types.event, kKindNames[k].attribute,
                        reinterpret_cast<PyObject*>(types.kinds[k]));
  }
  return types;
}

// Created on first use and kept for the life of the process. The interpreter
// lock serialises the first use.
const EventTypes& event_types() {
  EventTypes& types = module_state().events;
  if (types.event == nullptr) types = create_event_types();
  return types;
}

Kind python_kind(Event::Kind kind) {
  switch (kind) {
    case Event::Kind::Work:
      return Kind::Work;
    case Event::Kind::Wait:
      return Kind::Wait;
    case Event::Kind::Travel:
      break;
  }
  return Kind::Travel;
}

}  // namespace

Object make_schedule(const EventList& events) {
  const EventTypes& types = event_types();
  Object list = checked(PyList_New(static_cast<Py_ssize_t>(events.size())));
  for (std::size_t position = 0; position < events.size(); ++position) {
    const Event& event = events[position];
    const Kind kind = python_kind(event.kind);
    PyTypeObject* type = types.kinds[index_of(kind)];
    Object object = checked(type->tp_alloc(type, 0));
    event_of(object.get()) =
        NativeEvent{kind, Payload{event.location, timestamp_for_python(event.window.start),
                                  timestamp_for_python(event.window.end)}};
    PyList_SET_ITEM(list.get(), static_cast<Py_ssize_t>(position), object.release());
  }
  return list;
}

}  // namespace tourwright::python
