#pragma once

#include <vector>

#include "penalties/time/time_output.hpp"
#include "python/handle.hpp"

namespace tourwright::python {

// A new list of new event objects (PyEvent_Work / PyEvent_Wait /
// PyEvent_Travel), one per schedule event, in order.
Object make_schedule(const EventList& events);

}  // namespace tourwright::python
