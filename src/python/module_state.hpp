#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "python/handle.hpp"

namespace tourwright::python {

// The three kinds of schedule event, in the order of the classes.
inline constexpr std::size_t kEventKinds = 3;

// The event classes: the base, one per kind, and one payload class per kind.
struct EventTypes {
  PyTypeObject* event = nullptr;
  std::array<PyTypeObject*, kEventKinds> kinds{};
  std::array<PyTypeObject*, kEventKinds> payloads{};
};

// Everything the module keeps for the life of the process, in one place.
// Initialisation is single-phase, so there is one module object per
// process, claimed by the first interpreter that imports it; the classes
// are made on first use and never released. All but the claim are read and
// written under the interpreter lock.
struct ModuleState {
  std::atomic<std::int64_t> claimed_interpreter{-1};
  PyObject* module = nullptr;
  PyTypeObject* py_output = nullptr;
  PyObject* internal_failure = nullptr;
  EventTypes events;
};

ModuleState& module_state();

}  // namespace tourwright::python
