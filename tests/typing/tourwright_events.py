"""The schedule event classes of tourwright, reached at run time.

The event classes are not attributes of the ``tourwright`` module, so
stubtest cannot compare their stubs with the real classes through it. This
module fetches the classes from a real schedule and exposes them under their
own names; stubtest then checks ``tourwright_events`` (whose stub re-exports
the classes from the tourwright stub) against them.
"""

import tourwright

__all__ = ["PyEvent", "PyEvent_Work", "PyEvent_Wait", "PyEvent_Travel",
           "PyWork", "PyWait", "PyTravel"]

_H = 3600
# One location, one hour of work, operating hours 08:00-17:00: the schedule
# starts at midnight, so it holds a wait, a piece of work and a travel leg
# back to the same location.
_schedule = tourwright.solve([[0]], [[_H]], [_H], [[(0, 24 * _H)]], (8 * _H, 17 * _H)).schedule
assert _schedule is not None
_kinds = {type(event).__name__: event for event in _schedule}

PyEvent = type(_schedule[0]).__base__
PyEvent_Work = PyEvent.Work
PyEvent_Wait = PyEvent.Wait
PyEvent_Travel = PyEvent.Travel
PyWork = type(_kinds["PyEvent_Work"]._0)
PyWait = type(_kinds["PyEvent_Wait"]._0)
PyTravel = type(_kinds["PyEvent_Travel"]._0)
