"""solve() (the fast evaluation) against the slow literal model on larger
instances than test_against_model: several windows per location, operating
hours, tight and loose windows, asymmetric data, and values near the limits
where the module must fall back to the literal evaluation.
"""

import random

import pytest

from test_against_model import (DAY, H, distance_matrix, outcome_of_model,
                                outcome_of_solve)

FAMILIES = ["distance", "distance near 2**32", "loose", "tight", "hours", "late", "near limits", "short row"]


def windows(rng, n, width, gap, count):
    per_location = []
    for _ in range(n):
        start = DAY + rng.randint(0, gap)
        listed = []
        for _ in range(rng.randint(1, count)):
            end = start + rng.randint(0, width)
            listed.append((start, end))
            start = end + rng.randint(0, gap)
        per_location.append(listed)
    return per_location


def instance(family, seed):
    rng = random.Random(f"{family}/{seed}")
    n = rng.randint(9, 13)
    symmetric = rng.random() < 0.5
    arguments = dict(distance_matrix=distance_matrix(rng, n, symmetric))
    if family == "distance":
        return arguments
    if family == "distance near 2**32":
        # All below 2**32 (the module may store them in 32 bits) or some above.
        high = rng.choice([2**32 - 1, 2**32 + 2])
        matrix = [[rng.randint(2**32 - 64, high) for _ in range(n)] for _ in range(n)]
        if symmetric:
            matrix = [[matrix[min(a, b)][max(a, b)] for b in range(n)] for a in range(n)]
        return dict(distance_matrix=matrix)
    width, gap, hours = {
        "loose": (10 * H, 4 * H, None),
        "tight": (H // 2, 2 * H, None),
        "hours": (6 * H, 6 * H, (8 * H, 17 * H)),
        "late": (H // 6, H // 6, rng.choice([None, (6 * H, 9 * H)])),
        "near limits": (H, H, None),
        "short row": (4 * H, 4 * H, None),
    }[family]
    travel = [[rng.randint(0, 12) * 300 for _ in range(n)] for _ in range(n)]
    if symmetric:
        travel = [[travel[min(a, b)][max(a, b)] for b in range(n)] for a in range(n)]
    arguments.update(
        duration_matrix=travel,
        job_durations=[rng.choice([0, 600, 1800, 2 * H, 5 * H]) for _ in range(n)],
        time_windows=windows(rng, n, width, gap, 4),
        operation_times=hours,
    )
    if family == "near limits":
        # Clocks this late may overflow; the module must fail exactly like the model or not at all.
        last = 8_210_266_876_799
        shift = last - DAY - rng.randint(1, 12) * 86_400
        arguments["time_windows"] = [[(s + shift, e + shift) for s, e in listed]
                                     for listed in arguments["time_windows"]]
        arguments["job_durations"] = [rng.choice([0, H, 86_400]) for _ in range(n)]
    if family == "short row":
        victim = rng.randrange(n)
        arguments[rng.choice(["distance_matrix", "duration_matrix"])][victim].pop()
    return arguments


@pytest.mark.parametrize("seed", range(6))
@pytest.mark.parametrize("family", FAMILIES)
def test_fast_solve_matches_the_literal_model(family, seed):
    arguments = instance(family, seed)
    assert outcome_of_solve(arguments) == outcome_of_model(arguments)
