"""Child process of the Ctrl-C tests: starts a long solve and reports, as one
JSON line, when the interruption arrived (CLOCK_MONOTONIC is shared by all
processes of the machine) or that a result came back.

usage: interrupt_child.py INSTANCE SECONDS_OF_LIMIT (INSTANCE: a name in `arguments` below)
"""

import gc
import json
import os
import random
import signal
import sys
import time
from pathlib import Path

import tourwright

# A process started from a non-interactive shell's background job inherits
# SIGINT ignored, and Python then leaves it so; Ctrl-C must raise here.
signal.signal(signal.SIGINT, signal.default_int_handler)


def distance_instance():
    rng = random.Random(5)
    n = 60
    points = [(rng.randrange(1000), rng.randrange(1000)) for _ in range(n)]
    return dict(distance_matrix=[[abs(ax - bx) + abs(ay - by) for bx, by in points]
                                 for ax, ay in points])


def windows_instance():
    # 40 visits of 20 minutes with two windows each, under 08:00-18:00 hours.
    rng = random.Random(7)
    n, hour, day = 40, 3600, 19_723 * 86_400
    points = [(rng.randrange(100), rng.randrange(100)) for _ in range(n)]
    travel = [[60 * (abs(ax - bx) + abs(ay - by)) // 4 for bx, by in points] for ax, ay in points]
    windows = [[(day + (8 + k % 3) * hour, day + (11 + k % 3) * hour),
                (day + (13 + k % 4) * hour, day + (17 + k % 2) * hour)] for k in range(n)]
    windows[0] = [(day, day + 40 * hour)]
    return dict(distance_matrix=travel, duration_matrix=travel, job_durations=[1200] * n,
                time_windows=windows, operation_times=(8 * hour, 18 * hour))


def large_instance():
    # The bundled 200-visit TSPTW instance: one pass of the search takes
    # about a second or more here, so a check between passes alone is slow.
    root = Path(os.environ.get("TOURWRIGHT_SOURCE_DIR", Path(__file__).resolve().parents[2]))
    sys.path.insert(0, str(root / "examples"))
    import instances

    matrix, windows = instances.read_tsptw(instances.DATA / "tsptw" / "n200w20.001.txt")
    return dict(distance_matrix=matrix, duration_matrix=matrix, job_durations=[0] * len(matrix),
                time_windows=[[window] for window in windows])


def endless_row_instance():
    # A row of 10^12 numbers that takes no memory in numpy: reading it runs
    # no Python code at all, and would take hours.
    import numpy

    return dict(distance_matrix=[numpy.broadcast_to(numpy.int64(0), (10**12,))])


def one_second_hours_instance():
    # One job of 20 million seconds under hours of one second a day: the start
    # route's single evaluation walks 20 million days, seconds on its own.
    return dict(distance_matrix=[[0]], duration_matrix=[[0]], job_durations=[20_000_000],
                time_windows=[[(0, 2**40)]], operation_times=(0, 1))


def crowded_windows_instance():
    # One job among two million zero-length windows: the search's settling
    # table for them takes a step or two per window, a second in all.
    windows = [(t, t) for t in range(10**9, 10**9 + 4_000_000, 2)]
    return dict(distance_matrix=[[0]], duration_matrix=[[0]], job_durations=[1],
                time_windows=[windows])


def broadcast_column_instance():
    # 10^12 rows of one entry each, in no memory: the rows pile up as they
    # are read, each a vector of its own.
    import numpy

    return dict(distance_matrix=numpy.broadcast_to(numpy.int64(0), (10**12, 1)))


def windows_2000_instance():
    # 2000 visits with one window each: a row of a move's scan takes a
    # quarter of a second, the first pass minutes.
    rng = random.Random(11)
    n, day = 2000, 19_723 * 86_400
    points = [(rng.randrange(10_000), rng.randrange(10_000)) for _ in range(n)]
    matrix = [[abs(ax - bx) + abs(ay - by) for bx, by in points] for ax, ay in points]
    starts = [day + rng.randrange(30 * 86_400) for _ in range(n)]
    return dict(distance_matrix=matrix, duration_matrix=matrix, job_durations=[600] * n,
                time_windows=[[(start, start + 3600)] for start in starts])


arguments = {"crowded-windows": crowded_windows_instance,
             "broadcast-column": broadcast_column_instance,
             "windows-2000": windows_2000_instance,
             "distance": distance_instance, "one-second-hours": one_second_hours_instance, "windows": windows_instance,
             "large": large_instance, "endless-row": endless_row_instance}[sys.argv[1]]()
limit = int(sys.argv[2])
# The arguments live as long as the child: a full collection over their
# millions of objects, set off by the allocations of the exception's
# unwinding, would be timed as the module's answer to SIGINT.
gc.freeze()
print("solving", flush=True)
try:
    out = tourwright.solve(**arguments, time_limit=limit)
except KeyboardInterrupt:
    print(json.dumps({"interrupted_at": time.monotonic()}), flush=True)
else:
    print(json.dumps({"result": out.distance, "iterations": out.iterations}), flush=True)
