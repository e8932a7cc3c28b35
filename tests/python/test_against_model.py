"""solve() against the slow literal model on small random instances.

Without a time limit the search is deterministic, so the route, every total,
the schedule and any failure message must match the model exactly.
"""

import random

import pytest

from tourwright import solve

from conftest import PanicException, event_tuples
from reference_model import ModelFailure, solve_model

H = 3600
DAY = 19_723 * 86_400


def distance_matrix(rng, n, symmetric):
    matrix = [[rng.randint(0, 60) for _ in range(n)] for _ in range(n)]
    if symmetric:
        for a in range(n):
            for b in range(a):
                matrix[a][b] = matrix[b][a]
    return matrix


def windows_for(rng, n, tight):
    per_location = []
    for _ in range(n):
        start = DAY + rng.randint(0, 10) * 1800
        windows = []
        for _ in range(rng.randint(1, 3)):
            end = start + rng.randint(0, 2 if tight else 12) * 1800
            windows.append((start, end))
            start = end + rng.randint(0, 8) * 1800
        per_location.append(windows)
    return per_location


def time_instance(rng, n):
    return dict(
        duration_matrix=[[rng.randint(0, 6) * 600 for _ in range(n)] for _ in range(n)],
        job_durations=[rng.choice([0, 300, 1800, H, 3 * H]) for _ in range(n)],
        time_windows=windows_for(rng, n, tight=rng.random() < 0.5),
        operation_times=rng.choice([None, (8 * H, 17 * H), (6 * H, 9 * H), (0, 20 * H)]),
    )


def broken(rng, arguments):
    """Make a lookup fail somewhere: a short row, a short list or no windows."""
    n = len(arguments["distance_matrix"])
    damage = rng.choice(["distance row", "duration row", "jobs", "windows", "no windows"])
    if damage == "distance row":
        arguments["distance_matrix"][rng.randrange(n)].pop()
    elif damage == "duration row" and "duration_matrix" in arguments:
        arguments["duration_matrix"][rng.randrange(n)].pop()
    elif damage == "jobs" and "job_durations" in arguments:
        arguments["job_durations"].pop()
    elif damage == "windows" and "time_windows" in arguments:
        arguments["time_windows"].pop()
    elif "time_windows" in arguments:
        arguments["time_windows"][rng.randrange(n)] = []
    return arguments


def instance(seed):
    rng = random.Random(seed)
    n = rng.randint(1, 8)
    arguments = dict(distance_matrix=distance_matrix(rng, n, symmetric=rng.random() < 0.5))
    if seed % 4 != 0:
        arguments.update(time_instance(rng, n))
    if seed % 7 == 3:
        arguments = broken(rng, arguments)
    return arguments


def outcome_of_solve(arguments):
    try:
        out = solve(**arguments)
    except PanicException as failure:
        return ("failure", str(failure))
    return dict(route=out.route, distance=out.distance, iterations=out.iterations,
                lateness=out.lateness, duration=out.duration, working_time=out.working_time,
                waiting_time=out.waiting_time, traveling_time=out.traveling_time,
                start_time=out.start_time, end_time=out.end_time,
                schedule=event_tuples(out.schedule))


def outcome_of_model(arguments):
    try:
        result = solve_model(**arguments)
    except ModelFailure as failure:
        return ("failure", failure.message)
    return {key: result[key] for key in (
        "route", "distance", "iterations", "lateness", "duration", "working_time",
        "waiting_time", "traveling_time", "start_time", "end_time", "schedule")}


@pytest.mark.parametrize("seed", range(240))
def test_solve_matches_the_literal_model(seed):
    arguments = instance(seed)
    assert outcome_of_solve(arguments) == outcome_of_model(arguments)


@pytest.mark.parametrize("seed", range(20))
def test_huge_values_overflow_the_same_way(seed):
    rng = random.Random(1000 + seed)
    n = rng.randint(1, 4)
    big = 9_223_372_036_854_775
    arguments = dict(
        distance_matrix=[[rng.choice([0, 2**64 - 1, 2**63]) for _ in range(n)] for _ in range(n)],
        duration_matrix=[[rng.choice([0, big, 10**12]) for _ in range(n)] for _ in range(n)],
        job_durations=[rng.choice([0, big, 10**12, 5]) for _ in range(n)],
        time_windows=[[(rng.choice([0, 8_210_266_876_799]),) * 2] for _ in range(n)],
    )
    assert outcome_of_solve(arguments) == outcome_of_model(arguments)
