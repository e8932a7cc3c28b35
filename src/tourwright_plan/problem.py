"""A problem as the arguments of ``tourwright.solve``, and its plans.

Every schedule here comes from the extension module itself: a search's best
tour, or an order the caller chose, evaluated by ``solve`` with
``time_limit=0`` on inputs relabelled so that the order is the identity
(the route a search of no time returns, evaluated with its events).
"""

from __future__ import annotations

from collections.abc import Sequence
from dataclasses import dataclass, field, replace
from typing import Any, Literal, Optional

import tourwright

Kind = Literal["work", "wait", "travel"]
_KINDS: dict[str, Kind] = {
    "PyEvent_Work": "work", "PyEvent_Wait": "wait", "PyEvent_Travel": "travel"}
# A search of no time runs no descent unless the clock has not moved at all
# between two readings; such a call is repeated, this many times at most.
_EVALUATION_TRIES = 100


@dataclass(frozen=True)
class Event:
    """One piece of a schedule: work at ``location``, or a wait, or travel
    (``location`` None), from ``start`` to ``end`` in Unix seconds."""

    kind: Kind
    start: int
    end: int
    location: Optional[int] = None


@dataclass(frozen=True)
class Plan:
    """A closed tour and its schedule, in plain values (it pickles).

    The time fields are None for a problem without time data. Plans that
    differ only in how long the search took compare equal.
    """

    route: list[int]
    distance: int
    lateness: Optional[int] = None
    duration: Optional[int] = None
    working_time: Optional[int] = None
    waiting_time: Optional[int] = None
    traveling_time: Optional[int] = None
    start_time: Optional[int] = None
    end_time: Optional[int] = None
    events: Optional[list[Event]] = None
    iterations: int = 0
    time_taken_microseconds: int = field(default=0, compare=False)

    @classmethod
    def from_output(cls, out: tourwright.PyOutput,
                    locations: Optional[Sequence[int]] = None) -> Plan:
        """A result of ``solve``; ``locations[k]`` is the caller's name for
        the module's location k (the identity when None)."""
        def named(k: int) -> int:
            return k if locations is None else locations[k]

        events = None
        if out.schedule is not None:
            events = []
            for event in out.schedule:
                payload = event._0
                start, end = payload.window
                where = getattr(payload, "location", None)  # work payloads only
                events.append(Event(_KINDS[type(event).__name__], start, end,
                                    named(where) if isinstance(where, int) else None))
        return cls(route=[named(k) for k in out.route], distance=out.distance,
                   lateness=out.lateness, duration=out.duration,
                   working_time=out.working_time, waiting_time=out.waiting_time,
                   traveling_time=out.traveling_time, start_time=out.start_time,
                   end_time=out.end_time, events=events, iterations=out.iterations,
                   time_taken_microseconds=out.time_taken_microseconds)


@dataclass(frozen=True)
class Problem:
    """The arguments of ``tourwright.solve`` but the time limit.

    Time scheduling is on when ``duration_matrix``, ``job_durations`` and
    ``time_windows`` are all given, as in ``solve``.
    """

    distance_matrix: Sequence[Sequence[int]]
    duration_matrix: Optional[Sequence[Sequence[int]]] = None
    job_durations: Optional[Sequence[int]] = None
    time_windows: Optional[Sequence[Sequence[tuple[int, int]]]] = None
    operation_times: Optional[tuple[int, int]] = None
    names: Optional[Sequence[str]] = field(default=None, compare=False)

    @property
    def size(self) -> int:
        return len(self.distance_matrix)

    def name(self, location: int) -> str:
        return self.names[location] if self.names is not None else str(location)

    def arguments(self, order: Optional[Sequence[int]] = None) -> dict[str, Any]:
        """The keyword arguments of ``solve``, the locations relabelled so
        that ``order[k]`` becomes location k when an order is given."""
        if order is None:
            order = range(self.size)

        def rows(matrix: Sequence[Sequence[int]]) -> list[list[int]]:
            return [[matrix[a][b] for b in order] for a in order]

        return dict(
            distance_matrix=rows(self.distance_matrix),
            duration_matrix=None if self.duration_matrix is None else rows(self.duration_matrix),
            job_durations=None if self.job_durations is None
            else [self.job_durations[a] for a in order],
            time_windows=None if self.time_windows is None
            else [list(self.time_windows[a]) for a in order],
            operation_times=self.operation_times)


def solve(problem: Problem, time_limit: Optional[int] = None) -> Plan:
    """The best tour a search finds (``tourwright.solve``), as a Plan."""
    return Plan.from_output(tourwright.solve(**problem.arguments(), time_limit=time_limit))


def evaluate(problem: Problem, order: Sequence[int]) -> Plan:
    """The schedule and totals of the closed tour that visits the locations
    in ``order``, exactly as the module computes them for that route."""
    order = [int(k) for k in order]
    if sorted(order) != list(range(problem.size)):
        raise ValueError(f"order must list each of the {problem.size} locations once, "
                         f"got {order}")
    arguments = problem.arguments(order)
    for _ in range(_EVALUATION_TRIES):
        out = tourwright.solve(**arguments, time_limit=0)
        if out.iterations == 0:  # no descent ran: the identity route itself
            return Plan.from_output(out, order)
    raise RuntimeError("the clock did not advance during a search of no time")


def rotated(order: Sequence[int], first: int) -> list[int]:
    """The same closed tour, begun at ``first``."""
    position = list(order).index(first)
    return [*order[position:], *order[:position]]


def solve_from(problem: Problem, depot: int, time_limit: Optional[int] = None) -> Plan:
    """A plan that starts and ends at ``depot``.

    The search ranks tours by the schedule of the rotation it holds, which
    may begin anywhere; the best tour is turned to begin at the depot and
    that order evaluated exactly (so its lateness and totals are the ones of
    the plan actually returned, which may differ from the search's own).
    ``iterations`` and ``time_taken_microseconds`` are the search's.
    """
    if not 0 <= depot < problem.size:
        raise ValueError(f"depot {depot} is not a location of a problem of {problem.size}")
    found = solve(problem, time_limit)
    if found.route[0] == depot:
        return found
    return replace(evaluate(problem, rotated(found.route, depot)), iterations=found.iterations,
                   time_taken_microseconds=found.time_taken_microseconds)
