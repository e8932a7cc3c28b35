"""Plain, typed records for a tourwright schedule, shared by the examples.

``PyOutput.schedule`` returns event objects of three classes (work, wait and
travel) whose payload sits in ``event._0``. The classes are not attributes of
the module, so code cannot write ``isinstance(event, tourwright.PyEvent_Work)``.
This helper tells the kinds apart by class name and by the payload's
``location`` attribute, which only work payloads have, and turns every event
into a ``Step``.
"""

from __future__ import annotations

from collections.abc import Sequence
from dataclasses import dataclass
from datetime import datetime, timezone
from typing import TYPE_CHECKING, Literal, Union

if TYPE_CHECKING:  # the event classes exist for type checkers only
    from tourwright import PyEvent_Travel, PyEvent_Wait, PyEvent_Work

    Event = Union[PyEvent_Work, PyEvent_Wait, PyEvent_Travel]

Kind = Literal["work", "wait", "travel"]
KINDS: dict[str, Kind] = {
    "PyEvent_Work": "work", "PyEvent_Wait": "wait", "PyEvent_Travel": "travel"}


@dataclass(frozen=True)
class Step:
    """One schedule event.

    ``location`` is where the work happens for a work step; for travel and
    wait steps it is the location of the next work (or, after the last work,
    the first location of the route, where the closed tour returns).
    """

    kind: Kind
    start: int  # Unix seconds (UTC)
    end: int
    location: int

    @property
    def seconds(self) -> int:
        return self.end - self.start


def steps(schedule: Sequence[Event], route: Sequence[int]) -> list[Step]:
    """The schedule as Steps, in time order."""
    plain: list[tuple[Kind, int, int, int | None]] = []
    for event in schedule:
        payload = event._0
        start, end = payload.window
        location: object = getattr(payload, "location", None)  # work payloads only
        plain.append((KINDS[type(event).__name__], start, end,
                      location if isinstance(location, int) else None))

    result: list[Step] = []
    upcoming = route[0]  # after the last work the tour returns to its start
    for kind, start, end, location in reversed(plain):
        if location is not None:
            upcoming = location
        result.append(Step(kind, start, end, upcoming))
    result.reverse()
    return result


def utc(unix_seconds: int) -> datetime:
    return datetime.fromtimestamp(unix_seconds, timezone.utc)


def hours_minutes(seconds: int) -> str:
    """A duration as H:MM, rounded to the minute."""
    minutes = (seconds + 30) // 60
    return f"{minutes // 60}:{minutes % 60:02d}"
