"""The one scorer of every solver's route: no solver's own objective is read.

- "tsplib": the closed tour's length from the matrix.
- "tsptw": the benchmark's rules (leave the depot at its ready time, wait
  when early, late is infeasible, return by the depot's due time; cost is the
  travel time), by the plain checker of examples/tsptw_benchmark.py.
- "ours": tourwright's model, by its plain Python twin
  (tests/python/reference_model.py), which shares no code with the module.
"""

from __future__ import annotations

import sys
from dataclasses import dataclass

from families import ROOT, Instance

sys.path.insert(0, str(ROOT / "tests" / "python"))

import reference_model  # noqa: E402
from tsptw_benchmark import check_tour  # noqa: E402


@dataclass(frozen=True)
class Score:
    feasible: bool  # "tsptw": no late visit and back in time; "ours": no lateness
    cost: int  # tour length, travel-time units, or travelling seconds ("ours")
    lateness: int = 0  # "ours": seconds; "tsptw": late visits (and a late return)


def score(instance: Instance, route: list[int]) -> Score | None:
    """None unless `route` visits every location exactly once."""
    if sorted(route) != list(range(instance.n)):
        return None
    matrix = instance.matrix
    if instance.family == "tsplib":
        length = sum(matrix[a][b] for a, b in zip(route, route[1:] + route[:1]))
        return Score(True, length)
    if instance.family == "tsptw":
        assert instance.windows is not None
        check = check_tour(matrix, instance.windows, route)
        late = len(check.late_visits) + (check.return_time > check.horizon)
        return Score(check.feasible, check.cost, late)
    model = instance.model
    scheduler = reference_model.from_arguments(
        model["duration_matrix"], model["job_durations"], model["time_windows"],
        model.get("operation_times"))
    penalizer = reference_model.Penalizer(matrix, scheduler)
    report = reference_model.penalize(penalizer, list(route), False).time_report
    return Score(report.lateness == 0, report.traveling_time, report.lateness)
