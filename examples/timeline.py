"""Steps of a schedule for printing, shared by the examples.

The planning kit already turns the module's events into plain records
(``tourwright_plan.Plan``); a ``Step`` adds, for a travel or wait, the
location it leads to.
"""

from __future__ import annotations

from dataclasses import dataclass
from datetime import datetime, timezone

from tourwright_plan import Plan
from tourwright_plan.problem import Kind


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


def steps(plan: Plan) -> list[Step]:
    """The plan's events as Steps, in time order."""
    result: list[Step] = []
    upcoming = plan.route[0]  # after the last work the tour returns to its start
    for event in reversed(plan.events or []):
        if event.location is not None:
            upcoming = event.location
        result.append(Step(event.kind, event.start, event.end, upcoming))
    result.reverse()
    return result


def utc(unix_seconds: int) -> datetime:
    return datetime.fromtimestamp(unix_seconds, timezone.utc)


def hours_minutes(seconds: int) -> str:
    """A duration as H:MM, rounded to the minute."""
    minutes = (seconds + 30) // 60
    return f"{minutes // 60}:{minutes % 60:02d}"
