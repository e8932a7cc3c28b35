"""solve() called from 8 Python threads at once gives what sequential calls give."""

import itertools
import threading

from conftest import PanicException, event_tuples
from tourwright import solve

THREADS = 8
H = 3600
DAY = 19_723 * 86_400


def line(xs):
    return [[abs(a - b) for b in xs] for a in xs]


def time_instance(shift):
    n = 5
    return dict(
        distance_matrix=line([(7 * k + shift) % 11 for k in range(n)]),
        duration_matrix=[[H * ((a * b + shift) % 3) for b in range(n)] for a in range(n)],
        job_durations=[H * (1 + (k + shift) % 3) for k in range(n)],
        time_windows=[[(DAY + 8 * H, DAY + (12 + 4 * k) * H)] for k in range(n)],
        operation_times=(8 * H, 17 * H),
    )


# One call per thread: distance only, with time data, and failing ones.
CALLS = [
    dict(distance_matrix=line([3, 9, 1, 7, 4, 8, 2])),
    time_instance(0),
    dict(distance_matrix=line([5, 1, 4, 2, 3])),
    time_instance(1),
    dict(distance_matrix=[]),  # internal failure
    dict(time_instance(2), time_limit=0),
    dict(distance_matrix=[[0, -1]]),  # OverflowError
    time_instance(3),
]


def outcome(arguments):
    try:
        out = solve(**arguments)
    except BaseException as error:  # noqa: B902 - failures are compared too
        return type(error), str(error)
    return (out.route, out.distance, out.lateness, out.duration, out.waiting_time,
            out.start_time, out.end_time, event_tuples(out.schedule))


def run_at_once(calls):
    """Runs each call on its own thread, all released together; returns the outcomes."""
    results = [None] * len(calls)
    start = threading.Barrier(len(calls))

    def work(index):
        start.wait()
        results[index] = outcome(calls[index])

    threads = [threading.Thread(target=work, args=(k,)) for k in range(len(calls))]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    return results


def test_concurrent_calls_without_limit_match_sequential_calls():
    sequential = [outcome(arguments) for arguments in CALLS]
    assert (PanicException, "index out of bounds: the len is 0 but the index is 0") in sequential
    for _ in range(5):
        assert run_at_once(CALLS) == sequential


def optimum(matrix):
    n = len(matrix)
    return min(sum(matrix[a][b] for a, b in zip((0,) + order, order + (0,)))
               for order in itertools.permutations(range(1, n)))


def test_concurrent_calls_with_and_without_limit():
    # Even threads search for one second each; on seven points on a line the
    # restarts always reach the optimum, so every thread reports it.
    xs = [3, 9, 1, 7, 4, 8, 2]
    matrix = line(xs)
    calls = [dict(distance_matrix=matrix, time_limit=1 if k % 2 == 0 else None)
             for k in range(THREADS)]
    timed = solve(matrix, time_limit=1)
    untimed = solve(matrix)
    results = []
    start = threading.Barrier(THREADS)

    def work(arguments):
        start.wait()
        out = solve(**arguments)
        results.append((arguments["time_limit"], out.route, out.distance, out.iterations))

    threads = [threading.Thread(target=work, args=(arguments,)) for arguments in calls]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()

    assert timed.distance == optimum(matrix) == 2 * (max(xs) - min(xs))
    assert len(results) == THREADS
    for limit, route, distance, iterations in results:
        assert sorted(route) == list(range(len(xs)))
        if limit is None:
            assert (route, distance, iterations) == (untimed.route, untimed.distance, 1)
        else:
            assert distance == timed.distance
            assert iterations > 1
