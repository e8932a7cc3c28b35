"""The instances of the side-by-side comparison, by family.

- "tsplib": symmetric TSP from TSPLIB, scored by tour length against the
  optimum.
- "tsptw": classic TSPTW (depot 0, hard windows, travel-time objective), scored
  under the benchmark's own rules against the best-known value.
- "ours": tourwright's own model (closed tour, soft windows, several windows
  per location, daily operating hours), built by a seeded generator and scored
  by the model's plain Python twin.

An instance is named by a key, "family/name", so that a child process can
rebuild exactly the same data from it.
"""

from __future__ import annotations

import math
import random
import sys
from dataclasses import dataclass, field
from pathlib import Path
from typing import Any

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "examples"))

from instances import DATA, read_tsplib, read_tsptw, tsplib_optimum, tsptw_best_known  # noqa: E402

TSPLIB = ["berlin52", "kroA100", "ch150", "a280", "pcb442", "dsj1000"]
TSPTW = {  # file stem: the set it comes from
    "n100w20.001": "Dumas",
    "n200w40.001": "Dumas",
    "n100w120.001": "Gendreau",
    "n150w120.001": "Ohlmann-Thomas",
}
OURS = ["windows", "hours", "tight"]

# Our variants start on Monday 2025-03-03 at 08:00 UTC.
T0 = 1_740_988_800 + 8 * 3_600
HOUR = 3_600
DAY = 24 * HOUR


@dataclass
class Instance:
    key: str
    family: str
    matrix: list[list[int]]  # distances; for "tsptw" the travel times in instance units
    best_known: int | None = None
    origin: str = ""  # where it comes from
    windows: list[tuple[int, int]] | None = None  # "tsptw": (ready, due) in units
    model: dict[str, Any] = field(default_factory=dict)  # "ours": tourwright.solve arguments
    group: str = ""  # the table and panel it belongs to: the family, or "ours/<variant>"

    @property
    def n(self) -> int:
        return len(self.matrix)


def keys(families: list[str] | None = None) -> list[str]:
    chosen = families or ["tsplib", "tsptw", "ours"]
    names = {"tsplib": TSPLIB, "tsptw": list(TSPTW), "ours": OURS}
    return [f"{family}/{name}" for family in chosen for name in names[family]]


def load(key: str) -> Instance:
    instance = _load(key)
    instance.group = instance.family
    if instance.family == "ours":
        instance.group = "ours/" + ("windows" if key.startswith("tiny/") else key.split("/")[1])
    return instance


def _load(key: str) -> Instance:
    family, name = key.split("/", 1)
    if family == "tsplib":
        _, matrix = read_tsplib(DATA / "tsplib" / f"{name}.tsp")
        return Instance(key, family, matrix, tsplib_optimum(name), "TSPLIB")
    if family == "tsptw":
        matrix, windows = read_tsptw(DATA / "tsptw" / f"{name}.txt")
        return Instance(key, family, matrix, tsptw_best_known(f"{name}.txt"), TSPTW[name], windows)
    if family == "ours":
        return generated(name)
    if family == "tiny":  # the smoke test's
        return tiny(name)
    raise ValueError(f"unknown instance {key}")


def _points(rng: random.Random, n: int, side: float) -> list[list[int]]:
    """Distances in metres between n random points of a square of `side` metres."""
    points = [(rng.uniform(0, side), rng.uniform(0, side)) for _ in range(n)]
    return [[round(math.dist(a, b)) for b in points] for a in points]


def _travel(matrix: list[list[int]]) -> list[list[int]]:
    """Seconds at 50 km/h."""
    return [[round(metres / 13.9) for metres in row] for row in matrix]


def generated(name: str) -> Instance:
    """One of our variants, from a fixed seed.

    - "windows": 30 locations over three days, jobs of 15–45 minutes, two or
      three windows of one to two hours per location (08:00–18:00).
    - "hours": 20 locations, jobs of one to four hours, one window per location
      over two weeks, operating hours 08:00–17:00 UTC: jobs and drives pause at
      closing time and go on the next morning.
    - "tight": 80 locations, ten-minute jobs, one window of five to fifteen
      minutes per location somewhere in one day: far too many to meet, so the
      search minimises lateness.
    Location 0 is open over the whole plan (it is where peers start).
    """
    rng = random.Random(f"tourwright-peers-{name}")
    if name == "windows":
        n = 30
        matrix = _points(rng, n, 40_000)
        jobs = [rng.randint(15, 45) * 60 for _ in range(n)]
        windows = []
        for _ in range(n):
            starts = sorted(rng.sample(range(0, 3 * 20), rng.randint(2, 3)))  # half-hour slots
            day_windows = []
            for slot in starts:
                day, half_hour = divmod(slot, 20)
                start = T0 + day * DAY + half_hour * 1_800
                end = start + rng.randint(2, 4) * 1_800
                if day_windows and day_windows[-1][1] > start:
                    continue
                day_windows.append((start, end))
            windows.append(day_windows)
        windows[0] = [(T0, T0 + 3 * DAY)]
        model = dict(job_durations=jobs, time_windows=windows)
    elif name == "hours":
        n = 20
        matrix = _points(rng, n, 60_000)
        jobs = [rng.randint(60, 240) * 60 for _ in range(n)]
        model = dict(job_durations=jobs, time_windows=[[(T0, T0 + 14 * DAY)] for _ in range(n)],
                     operation_times=(8 * HOUR, 17 * HOUR))
    elif name == "tight":
        n = 80
        matrix = _points(rng, n, 30_000)
        jobs = [600] * n
        windows = []
        for _ in range(n):
            start = T0 + rng.randint(0, 9 * 60) * 60
            windows.append([(start, start + rng.randint(5, 15) * 60)])
        windows[0] = [(T0, T0 + DAY)]
        model = dict(job_durations=jobs, time_windows=windows)
    else:
        raise ValueError(f"unknown variant {name}")
    model["duration_matrix"] = _travel(matrix)
    return Instance(f"ours/{name}", "ours", matrix, None, "generated", model=model)


def tiny(name: str) -> Instance:
    """Six locations, for the smoke test: "tsplib", "tsptw" or "ours"."""
    rng = random.Random(f"tourwright-peers-tiny-{name}")
    matrix = _points(rng, 6, 1_000)
    if name == "tsplib":
        return Instance(f"tiny/{name}", "tsplib", matrix, None, "generated")
    if name == "tsptw":
        units = [[metres // 10 for metres in row] for row in matrix]
        return Instance(f"tiny/{name}", "tsptw", units, None, "generated",
                        [(0, 10_000)] * len(units))
    model = dict(job_durations=[300] * 6, time_windows=[[(T0, T0 + DAY)]] * 6,
                 duration_matrix=_travel(matrix))
    return Instance(f"tiny/{name}", "ours", matrix, None, "generated", model=model)
