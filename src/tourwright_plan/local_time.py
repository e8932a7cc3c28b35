"""Wall-clock times in a named time zone, as the module's Unix seconds and
daily hours (seconds since midnight UTC)."""

from __future__ import annotations

from collections.abc import Iterable
from datetime import date, datetime, time, timedelta
from zoneinfo import ZoneInfo

DAY = 86_400


def unix_seconds(moment: datetime | str, zone: str = "UTC") -> int:
    """A date-time (or its ISO 8601 text) as Unix seconds; one without an
    offset is read as wall-clock time in ``zone``."""
    when = datetime.fromisoformat(moment) if isinstance(moment, str) else moment
    if when.tzinfo is None:
        when = when.replace(tzinfo=ZoneInfo(zone))
    seconds = when.timestamp()
    if seconds != int(seconds):
        raise ValueError(f"{moment} is not a whole second")
    return int(seconds)


def operating_hours(opens: time, closes: time, zone: str, days: Iterable[date]) -> tuple[int, int]:
    """Daily hours from ``opens`` to ``closes`` wall-clock time in ``zone``,
    as the module's (start, end) in seconds since midnight UTC.

    The module knows one span per day in UTC, so the zone's offset must be
    the same on every one of ``days`` (no change to or from summer time
    among them), and the span must not cross midnight UTC.
    """
    offsets = {ZoneInfo(zone).utcoffset(datetime.combine(day, opens)) for day in days}
    if not offsets:
        raise ValueError("operating hours need at least one day")
    if len(offsets) != 1:
        raise ValueError(f"the UTC offset of {zone} changes over the planned days "
                         f"({', '.join(sorted(str(offset) for offset in offsets))}); "
                         "plan each part separately")
    offset = offsets.pop() or timedelta()
    span = _seconds_of_day(closes) - _seconds_of_day(opens)
    if span <= 0:
        raise ValueError(f"opening {opens} must be before closing {closes}")
    start = (_seconds_of_day(opens) - int(offset.total_seconds())) % DAY
    if start + span >= DAY:
        raise ValueError(f"{opens}-{closes} in {zone} reaches midnight UTC, which the module's "
                         "daily hours cannot express")
    return start, start + span


def _seconds_of_day(moment: time) -> int:
    return moment.hour * 3600 + moment.minute * 60 + moment.second
