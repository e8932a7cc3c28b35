"""A plan as a timetable: one record per visit and per travel leg, grouped
by calendar day in a named time zone.

The records only read the plan's events and the problem's inputs; the
lateness of a visit is its job's end past the end of the last window of its
location, the measure the module's total sums.
"""

from __future__ import annotations

import importlib
import json
from collections.abc import Sequence
from dataclasses import asdict, dataclass, field
from datetime import date, datetime
from typing import Any, Optional
from zoneinfo import ZoneInfo

from tourwright_plan.problem import Event, Kind, Plan, Problem

Piece = tuple[int, int]


@dataclass(frozen=True)
class Visit:
    """The job at one stop of the route (times in Unix seconds).

    ``arrival`` is when the travel there ended, ``start`` and ``end`` the
    first and last instant of work, ``window`` the window the work began in
    (None when it began after every window), ``waiting`` the waits from
    arriving to the end (for the window, for opening time, and overnight
    between pieces), ``pieces`` the spans of work (several when the job was
    split over days). A job of no length has no pieces: it starts
    and ends on arrival.
    """

    position: int
    location: int
    name: str
    arrival: int
    start: int
    end: int
    window: Optional[Piece]
    waiting: int
    lateness: int
    pieces: list[Piece]


@dataclass(frozen=True)
class Leg:
    """The drive from one stop to the next (the last one back to the
    first): its pieces of travel and the waits between them."""

    origin: int
    destination: int
    pieces: list[Piece]
    waiting: int


@dataclass(frozen=True)
class Day:
    """The visits and legs with a piece on one calendar day of the zone."""

    date: date
    visits: list[Visit] = field(default_factory=list)
    legs: list[Leg] = field(default_factory=list)


@dataclass(frozen=True)
class Timetable:
    zone: str
    visits: list[Visit]
    legs: list[Leg]
    lateness: int
    working_time: int
    waiting_time: int
    traveling_time: int

    def local(self, unix_seconds: int) -> datetime:
        return datetime.fromtimestamp(unix_seconds, ZoneInfo(self.zone))

    @property
    def days(self) -> list[Day]:
        """Every calendar day on which a piece of work or travel begins, with
        the visits and legs that have a piece then (a job split over days is
        on each of its days) or, for a job of no length, arrive then."""
        by_date: dict[date, Day] = {}

        def on_days(pieces: list[Piece], instead: int) -> list[Day]:
            dates = sorted({self.local(start).date() for start, _ in pieces}
                           or {self.local(instead).date()})
            return [by_date.setdefault(when, Day(when)) for when in dates]

        for visit in self.visits:
            for day in on_days(visit.pieces, visit.arrival):
                day.visits.append(visit)
        for leg in self.legs:
            if leg.pieces:
                for day in on_days(leg.pieces, 0):
                    day.legs.append(leg)
        return [by_date[when] for when in sorted(by_date)]

    def to_dict(self) -> dict[str, Any]:
        return asdict(self)

    def to_json(self, **options: Any) -> str:
        return json.dumps(self.to_dict(), **options)

    @classmethod
    def from_dict(cls, data: dict[str, Any]) -> Timetable:
        def pieces(raw: list[list[int]]) -> list[Piece]:
            return [(start, end) for start, end in raw]

        visits = [Visit(**{**raw, "pieces": pieces(raw["pieces"]),
                           "window": None if raw["window"] is None else tuple(raw["window"])})
                  for raw in data["visits"]]
        legs = [Leg(**{**raw, "pieces": pieces(raw["pieces"])}) for raw in data["legs"]]
        return cls(**{**data, "visits": visits, "legs": legs})

    @classmethod
    def from_json(cls, text: str) -> Timetable:
        return cls.from_dict(json.loads(text))

    def rows(self) -> list[dict[str, Any]]:
        """One flat row per visit and per leg in time order, times as ISO
        8601 in the zone: what a CSV file or a DataFrame holds."""
        def iso(unix_seconds: Optional[int]) -> Optional[str]:
            return None if unix_seconds is None else self.local(unix_seconds).isoformat()

        rows: list[tuple[int, dict[str, Any]]] = []
        for visit in self.visits:
            rows.append((visit.arrival, {
                "kind": "visit", "position": visit.position, "location": visit.location,
                "name": visit.name, "from": None, "to": None, "arrival": iso(visit.arrival),
                "start": iso(visit.start), "end": iso(visit.end),
                "window_start": iso(visit.window[0]) if visit.window else None,
                "window_end": iso(visit.window[1]) if visit.window else None,
                "waiting": visit.waiting, "lateness": visit.lateness,
                "pieces": len(visit.pieces)}))
        for leg in self.legs:
            if leg.pieces:
                rows.append((leg.pieces[0][0], {
                    "kind": "leg", "position": None, "location": None, "name": None,
                    "from": leg.origin, "to": leg.destination, "arrival": None,
                    "start": iso(leg.pieces[0][0]), "end": iso(leg.pieces[-1][1]),
                    "window_start": None, "window_end": None, "waiting": leg.waiting,
                    "lateness": 0, "pieces": len(leg.pieces)}))
        rows.sort(key=lambda row: row[0])
        return [row for _, row in rows]

    def to_dataframe(self) -> Any:
        """The rows as a pandas DataFrame (pandas must be installed)."""
        return importlib.import_module("pandas").DataFrame(self.rows())


def timetable(plan: Plan, problem: Problem, zone: str = "UTC") -> Timetable:
    """The plan's visits and legs. Needs a plan with time data."""
    if (plan.events is None or problem.duration_matrix is None
            or problem.job_durations is None or problem.time_windows is None):
        raise ValueError("a timetable needs a plan and a problem with time data")
    ZoneInfo(zone)  # an unknown zone fails here, before any work
    events = _Events(plan.events)
    route, travel = plan.route, problem.duration_matrix
    visits: list[Visit] = []
    legs: list[Leg] = []
    now = plan.start_time if plan.start_time is not None else 0
    for position, location in enumerate(route):
        pieces, waiting = events.pieces("work", problem.job_durations[location], location)
        start, end = (pieces[0][0], pieces[-1][1]) if pieces else (now, now)
        windows = problem.time_windows[location]
        visits.append(Visit(
            position=position, location=location, name=problem.name(location), arrival=now,
            start=start, end=end, window=_window_of(start, windows) if pieces else None,
            waiting=waiting, lateness=_lateness(end, windows) if pieces else 0,
            pieces=pieces))
        following = route[(position + 1) % len(route)]
        leg_pieces, leg_waiting = events.pieces("travel", travel[location][following])
        legs.append(Leg(location, following, leg_pieces, leg_waiting))
        now = leg_pieces[-1][1] if leg_pieces else end
    events.finish()
    return Timetable(zone=zone, visits=visits, legs=legs,
                     lateness=sum(visit.lateness for visit in visits),
                     working_time=sum(end - start for visit in visits
                                      for start, end in visit.pieces),
                     waiting_time=sum(visit.waiting for visit in visits)
                     + sum(leg.waiting for leg in legs),
                     traveling_time=sum(end - start for leg in legs
                                        for start, end in leg.pieces))


class _Events:
    """The plan's events read in order, a visit's or a leg's at a time."""

    def __init__(self, events: list[Event]) -> None:
        self._events = events
        self._next = 0

    def _peek(self) -> Optional[Event]:
        return self._events[self._next] if self._next < len(self._events) else None

    def waits(self) -> int:
        waited = 0
        while (event := self._peek()) is not None and event.kind == "wait":
            waited += event.end - event.start
            self._next += 1
        return waited

    def pieces(self, kind: Kind, seconds: int,
               location: Optional[int] = None) -> tuple[list[Piece], int]:
        """The pieces of an action of ``kind``, ``seconds`` long in all (work
        at ``location``), and the waits before and between them."""
        pieces: list[Piece] = []
        waited = done = 0
        while done < seconds:
            waited += self.waits()
            event = self._take(kind)
            if event.location != location:
                raise ValueError(f"the plan works at {event.location} where its route "
                                 f"visits {location}")
            pieces.append((event.start, event.end))
            done += event.end - event.start
        return pieces, waited

    def _take(self, kind: Kind) -> Event:
        event = self._peek()
        if event is None or event.kind != kind:
            raise ValueError(f"the plan's events do not follow its route and the problem's "
                             f"durations: expected {kind} at event {self._next}")
        self._next += 1
        return event

    def finish(self) -> None:
        if self._peek() is not None:
            raise ValueError(f"the plan has {len(self._events) - self._next} events past "
                             f"the end of its route")


def _window_of(start: int, windows: Sequence[Piece]) -> Optional[Piece]:
    """The window the work began in: the last one whose span holds its start."""
    holding = [(a, b) for a, b in windows if a <= start <= b]
    return holding[-1] if holding else None


def _lateness(end: int, windows: Sequence[Piece]) -> int:
    return max(0, end - windows[-1][1]) if windows else 0
