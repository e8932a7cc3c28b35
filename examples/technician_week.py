"""Plan a heating technician's working week and print it as a table.

    python3 examples/technician_week.py                  # 1 second of search
    python3 examples/technician_week.py --time-limit 5

Eleven customers around the office, each with a job of its own length and
one or more time windows in the week of Monday 3 March 2025, built as Unix
times with ``datetime``. Work and driving happen only from 08:00 to 17:00.
A job that reaches 17:00 stops and goes on at 08:00 the next morning, like
the 12-hour heat-pump commissioning at the school, but every piece must lie
inside the window in which the job started. All times are UTC: tourwright
has no time zones, so the wall clock of this example is UTC.
"""

from __future__ import annotations

import argparse
import math
from dataclasses import dataclass
from datetime import date, datetime, time, timedelta, timezone

import tourwright
from tourwright_plan import Plan, Problem

from timeline import Step, hours_minutes, steps, utc

WEEK = date(2025, 3, 3)  # a Monday
DAYS = ["Mon", "Tue", "Wed", "Thu", "Fri"]
OPENING, CLOSING = time(8, 0), time(17, 0)
ROAD_FACTOR = 1.3   # road distance over straight-line distance
SPEED_KMH = 40.0    # average driving speed in town
PARKING_MINUTES = 5


def at(day: str, clock: str) -> int:
    """Unix seconds of a weekday of the planned week at an HH:MM time, UTC."""
    hour, minute = (int(part) for part in clock.split(":"))
    moment = datetime.combine(WEEK + timedelta(days=DAYS.index(day)), time(hour, minute),
                              tzinfo=timezone.utc)
    return int(moment.timestamp())


def window(day: str, opens: str, closes: str, last_day: str | None = None) -> tuple[int, int]:
    return at(day, opens), at(last_day or day, closes)


def every_day(opens: str, closes: str) -> list[tuple[int, int]]:
    return [window(day, opens, closes) for day in DAYS]


@dataclass(frozen=True)
class Site:
    name: str
    job: str
    x_km: float
    y_km: float
    job_minutes: int
    windows: list[tuple[int, int]]


SITES = [
    Site("Office", "load van, paperwork", 0.0, 0.0, 30, [window("Mon", "08:00", "08:45")]),
    Site("Alvarez flat", "replace thermostat", 2.1, 1.4, 45,
         [window("Mon", "09:00", "12:00"), window("Tue", "09:00", "12:00")]),
    Site("Krause bakery", "oven burner service", -3.2, 2.5, 120,
         [window("Mon", "13:00", "17:00"), window("Wed", "13:00", "17:00")]),
    Site("Ng dental", "compressor service", 4.5, -1.8, 90,
         [window("Tue", "08:00", "10:00"), window("Thu", "08:00", "10:00")]),
    Site("Hillside school", "heat-pump commissioning", -5.8, -4.1, 720,
         [window("Tue", "08:00", "17:00", last_day="Thu")]),
    Site("Miramar hotel", "boiler annual service", 6.3, 3.9, 180,
         [window("Wed", "08:00", "17:00"), window("Fri", "08:00", "13:00")]),
    Site("Lindqvist cafe", "water softener", 1.2, 4.6, 60, every_day("14:00", "17:00")),
    Site("Osei garage", "pressure test", -2.4, -2.9, 120, every_day("08:00", "12:00")),
    Site("Dubois house", "radiator replacement", 3.7, -5.2, 240,
         [window("Thu", "08:00", "17:00"), window("Fri", "08:00", "17:00")]),
    Site("City museum", "humidity control check", -0.8, 3.3, 60,
         [window("Wed", "10:00", "12:00"), window("Fri", "10:00", "12:00")]),
    Site("Berg farm", "grain dryer burner", 14.0, -9.5, 180, every_day("08:00", "17:00")),
    Site("Patel laundry", "gas valve replacement", -6.5, 1.9, 120,
         [window("Thu", "13:00", "17:00"), window("Fri", "13:00", "17:00")]),
]


def road_metres(a: Site, b: Site) -> int:
    return round(1000 * ROAD_FACTOR * math.hypot(a.x_km - b.x_km, a.y_km - b.y_km))


def drive_seconds(metres: int) -> int:
    """Driving time plus parking, rounded up to whole minutes; zero in place."""
    if metres == 0:
        return 0
    minutes = math.ceil(metres / 1000 / SPEED_KMH * 60) + PARKING_MINUTES
    return 60 * minutes


def week_problem() -> Problem:
    distances = [[road_metres(a, b) for b in SITES] for a in SITES]
    return Problem(
        distance_matrix=distances,
        duration_matrix=[[drive_seconds(metres) for metres in row] for row in distances],
        job_durations=[60 * site.job_minutes for site in SITES],
        time_windows=[site.windows for site in SITES],
        operation_times=(3600 * OPENING.hour, 3600 * CLOSING.hour),
        names=[site.name for site in SITES],
    )


def solve_week(time_limit: int) -> tourwright.PyOutput:
    return tourwright.solve(**week_problem().arguments(), time_limit=time_limit)


def describe(step: Step) -> str:
    site = SITES[step.location]
    if step.kind == "work":
        return f"{site.name}: {site.job}"
    if step.kind == "travel":
        return f"drive to {site.name}"
    return f"wait for {site.name}"


def print_week(out: tourwright.PyOutput) -> None:
    assert out.schedule is not None and out.start_time is not None and out.end_time is not None
    day = None
    for step in steps(Plan.from_output(out)):
        start, end = utc(step.start), utc(step.end)
        if start.date() != day:
            day = start.date()
            print(f"\n{start:%A %d %B %Y}")
        until = f"{end:%H:%M}" if end.date() == start.date() else f"{end:%a %H:%M}"
        print(f"  {start:%H:%M}-{until:<9} {step.kind:<7}{hours_minutes(step.seconds):>6}  "
              f"{describe(step)}")

    print()
    print(f"Route:      {' > '.join(SITES[k].name for k in out.route)} > back to "
          f"{SITES[out.route[0]].name}")
    print(f"Week:       {utc(out.start_time):%a %H:%M} to {utc(out.end_time):%a %H:%M} UTC, "
          f"{out.distance / 1000:.1f} km driven")
    print(f"Totals:     work {hours_minutes(out.working_time or 0)}, "
          f"driving {hours_minutes(out.traveling_time or 0)}, "
          f"waiting {hours_minutes(out.waiting_time or 0)} (nights included)")
    print(f"Lateness:   {out.lateness} s")
    print(f"Search:     {out.iterations} descents in {out.time_taken_microseconds / 1e6:.2f} s")


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--time-limit", type=int, default=1, help="seconds of search (default: 1)")
    args = parser.parse_args()
    print_week(solve_week(args.time_limit))


if __name__ == "__main__":
    main()
