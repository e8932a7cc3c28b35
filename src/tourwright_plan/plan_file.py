"""A plan file: sites with coordinates or matrices, windows as ISO 8601
date-times, daily hours, job lengths and a time limit, read into a Problem.

Every fault is reported as a PlanFileError naming the line of the file and
the field, e.g. ``plan.json, line 7: sites[1].windows[0][1]: ...``.
"""

from __future__ import annotations

import json
import json.decoder
import json.scanner
from collections.abc import Callable
from dataclasses import dataclass
from datetime import date, datetime, time
from pathlib import Path
from typing import Any, Optional, TypeVar
from zoneinfo import ZoneInfo, ZoneInfoNotFoundError

from tourwright_plan.local_time import operating_hours, unix_seconds
from tourwright_plan.matrices import great_circle, planar
from tourwright_plan.problem import Problem

T = TypeVar("T")


class PlanFileError(ValueError):
    pass


@dataclass(frozen=True)
class PlanFile:
    problem: Problem
    zone: str
    time_limit: Optional[int]
    depot: Optional[int]


def read_plan(path: Path) -> PlanFile:
    try:
        text = path.read_text(encoding="utf-8")
    except (OSError, UnicodeDecodeError) as error:
        raise PlanFileError(f"{path}: cannot read: {error}") from None
    decoder = _LocatingDecoder()
    try:
        data = decoder.decode(text)
    except json.JSONDecodeError as error:
        raise PlanFileError(f"{path}, line {error.lineno}: not JSON: {error.msg}") from None
    return _Reader(path, text, decoder.offsets).plan(data)


class _LocatingDecoder(json.JSONDecoder):
    """Remembers where in the text each object and array of the file begins."""

    def __init__(self) -> None:
        super().__init__()
        self.offsets: dict[int, int] = {}

        def located(parse: Callable[..., tuple[Any, int]]) -> Callable[..., tuple[Any, int]]:
            def parse_located(s_and_end: tuple[str, int], *rest: Any) -> tuple[Any, int]:
                text, begin = s_and_end
                value, end = parse(s_and_end, *rest)
                self.offsets[id(value)] = begin
                return value, end
            return parse_located

        # The pure-Python scanner calls these two, so it is the one used.
        self.parse_object = located(getattr(json.decoder, "JSONObject"))
        self.parse_array = located(getattr(json.decoder, "JSONArray"))
        self.scan_once = getattr(json.scanner, "py_make_scanner")(self)


class _Reader:
    def __init__(self, path: Path, text: str, offsets: dict[int, int]) -> None:
        self._path = path
        self._text = text
        self._offsets = offsets

    def _fail(self, container: Any, field: str, problem: str,
              key: Optional[str] = None) -> PlanFileError:
        """The error at ``container`` (an object or array of the file), on
        the line of its ``key`` when one is named."""
        offset = self._offsets.get(id(container), 0)
        if key is not None:
            found = self._text.find(json.dumps(key), offset)
            offset = found if found >= 0 else offset
        line = self._text.count("\n", 0, offset) + 1
        return PlanFileError(f"{self._path}, line {line}: {field}: {problem}")

    def _get(self, data: dict[str, Any], key: str, where: str, kind: type[T],
             default: Optional[T] = None, required: bool = True) -> T:
        field = f"{where}.{key}" if where else key
        if key not in data:
            if not required:
                return default  # type: ignore[return-value]
            raise self._fail(data, field, "missing")  # on the line the object begins
        value = data[key]
        if kind is float and isinstance(value, int) and not isinstance(value, bool):
            value = float(value)
        if not isinstance(value, kind) or isinstance(value, bool) and kind is not bool:
            raise self._fail(data, field, f"expected {_NAMES.get(kind, kind.__name__)}, "
                                          f"got {json.dumps(value)[:40]}", key)
        return value

    def plan(self, data: Any) -> PlanFile:
        if not isinstance(data, dict):
            raise PlanFileError(f"{self._path}, line 1: the plan must be a JSON object")
        known = {"time_zone", "hours", "time_limit", "depot", "sites", "coordinates",
                 "road_factor", "speed_kmh", "metres_per_unit", "distance_matrix",
                 "duration_matrix"}
        for key in data:
            if key not in known:
                raise self._fail(data, key, f"unknown field (known: {', '.join(sorted(known))})",
                                 key)
        zone = self._get(data, "time_zone", "", str, "UTC", required=False)
        try:
            ZoneInfo(zone)
        except (ZoneInfoNotFoundError, ValueError):
            raise self._fail(data, "time_zone", f"unknown time zone {zone!r}",
                             "time_zone") from None
        sites = self._get(data, "sites", "", list)
        if not sites:
            raise self._fail(data, "sites", "no sites")
        names, jobs, windows, points = [], [], [], []
        for k, site in enumerate(sites):
            where = f"sites[{k}]"
            if not isinstance(site, dict):
                raise self._fail(sites, where, "expected an object")
            names.append(self._get(site, "name", where, str, str(k), required=False))
            minutes = self._get(site, "job_minutes", where, float, 0.0, required=False)
            if not 0 <= minutes < 1e9:
                raise self._fail(site, f"{where}.job_minutes", "must be 0 or more", "job_minutes")
            jobs.append(round(60 * minutes))
            windows.append(self._windows(site, where, zone))
            if "at" in site:
                points.append(self._point(site, where))
        distances, durations = self._matrices(data, points, len(sites))
        days = {datetime.fromtimestamp(start, ZoneInfo(zone)).date()
                for site in windows for start, _ in site}
        hours = None
        if "hours" in data:
            raw = self._get(data, "hours", "", list)
            if len(raw) != 2:
                raise self._fail(raw, "hours", 'expected ["HH:MM", "HH:MM"]')
            opens, closes = (self._time_of_day(raw, f"hours[{k}]", text)
                             for k, text in enumerate(raw))
            try:
                hours = operating_hours(opens, closes, zone, days or {date.today()})
            except ValueError as error:
                raise self._fail(raw, "hours", str(error)) from None
        time_limit = self._get(data, "time_limit", "", int, None, required=False)
        if time_limit is not None and time_limit < 0:
            raise self._fail(data, "time_limit", "must be 0 or more", "time_limit")
        return PlanFile(
            Problem(distances, durations, jobs, windows, hours, names=names), zone,
            time_limit, self._depot(data, names))

    def _windows(self, site: dict[str, Any], where: str, zone: str) -> list[tuple[int, int]]:
        raw = self._get(site, "windows", where, list)
        windows: list[tuple[int, int]] = []
        for k, window in enumerate(raw):
            field = f"{where}.windows[{k}]"
            if not isinstance(window, list) or len(window) != 2:
                raise self._fail(raw, field, "expected [start, end] as ISO 8601 date-times")
            start, end = (self._moment(window, f"{field}[{m}]", value, zone)
                          for m, value in enumerate(window))
            if start > end:
                raise self._fail(window, field, "starts after it ends")
            if windows and start < windows[-1][1]:
                raise self._fail(window, field, "overlaps or precedes the window before it")
            windows.append((start, end))
        return windows

    def _moment(self, container: Any, field: str, value: Any, zone: str) -> int:
        if not isinstance(value, str):
            raise self._fail(container, field, "expected an ISO 8601 date-time")
        try:
            seconds = unix_seconds(value, zone)
        except ValueError as error:
            raise self._fail(container, field, str(error)) from None
        if seconds < 0:
            raise self._fail(container, field, "before 1970")
        return seconds

    def _time_of_day(self, container: Any, field: str, value: Any) -> time:
        try:
            return time.fromisoformat(value)
        except (TypeError, ValueError):
            raise self._fail(container, field, 'expected a time of day such as "08:00"') from None

    def _point(self, site: dict[str, Any], where: str) -> tuple[float, float]:
        raw = site["at"]
        if (not isinstance(raw, list) or len(raw) != 2
                or not all(isinstance(v, (int, float)) and not isinstance(v, bool) for v in raw)):
            raise self._fail(site, f"{where}.at", "expected [latitude, longitude] or [x, y]")
        return float(raw[0]), float(raw[1])

    def _matrices(self, data: dict[str, Any], points: list[tuple[float, float]],
                  n: int) -> tuple[list[list[int]], list[list[int]]]:
        if "distance_matrix" in data or "duration_matrix" in data:
            if points:
                raise self._fail(data, "sites", 'give either "at" for every site or the matrices')
            return (self._matrix(data, "distance_matrix", n),
                    self._matrix(data, "duration_matrix", n))
        if len(points) != n:
            raise self._fail(data, "sites", 'every site needs "at" when no matrices are given')
        factor = self._get(data, "road_factor", "", float, 1.3, required=False)
        speed = self._get(data, "speed_kmh", "", float, 40.0, required=False)
        kind = self._get(data, "coordinates", "", str, "latlon", required=False)
        try:
            if kind == "latlon":
                matrices = great_circle(points, factor, speed)
            elif kind == "plane":
                unit = self._get(data, "metres_per_unit", "", float, 1.0, required=False)
                matrices = planar(points, unit, factor, speed)
            else:
                raise self._fail(data, "coordinates", 'expected "latlon" or "plane"')
        except ValueError as error:
            if isinstance(error, PlanFileError):
                raise
            raise self._fail(data, "road_factor/speed_kmh", str(error)) from None
        return matrices.metres, matrices.seconds

    def _matrix(self, data: dict[str, Any], key: str, n: int) -> list[list[int]]:
        rows = self._get(data, key, "", list)
        if len(rows) != n:
            raise self._fail(rows, key, f"expected {n} rows, one per site, got {len(rows)}")
        for a, row in enumerate(rows):
            if (not isinstance(row, list) or len(row) != n
                    or not all(isinstance(v, int) and not isinstance(v, bool) and v >= 0
                               for v in row)):
                raise self._fail(row, f"{key}[{a}]", f"expected {n} whole numbers, 0 or more")
        return rows

    def _depot(self, data: dict[str, Any], names: list[str]) -> Optional[int]:
        if "depot" not in data:
            return None
        depot = data["depot"]
        if isinstance(depot, str) and depot in names:
            return names.index(depot)
        if isinstance(depot, int) and not isinstance(depot, bool) and 0 <= depot < len(names):
            return depot
        raise self._fail(data, "depot", f"expected a site's name or index, got {json.dumps(depot)}",
                         "depot")


_NAMES: dict[type, str] = {str: "a string", int: "a whole number", float: "a number",
                           list: "a list", dict: "an object", bool: "true or false"}
