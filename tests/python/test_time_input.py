"""Time arguments that extract cleanly but fail conversion, and their order."""

import pytest

from tourwright import solve

from conftest import PanicException

M = [[0, 1], [1, 0]]
DM = [[0, 1], [1, 0]]
JOBS = [1, 1]
WINDOWS = [[(0, 100)], [(0, 100)]]
MAX_SECONDS = 9_223_372_036_854_775
MAX_UNIX = 8_210_266_876_799
BOUND = "TimeDelta::seconds out of bounds"
UNWRAP = "called `Option::unwrap()` on a `None` value"
WINDOW_ORDER = "assertion failed: start <= end"
HOURS_ORDER = "assertion failed: daily_start < daily_end"

FAILURES = [
    ("duration above bound", dict(duration_matrix=[[0, MAX_SECONDS + 1], [1, 0]]), BOUND),
    ("duration from 2**63", dict(duration_matrix=[[2**63]]), BOUND),
    ("duration all ones", dict(duration_matrix=[[2**64 - 1]]), BOUND),
    ("job above bound", dict(job_durations=[MAX_SECONDS + 1]), BOUND),
    ("window end past 262142", dict(time_windows=[[(0, MAX_UNIX + 1)]]), UNWRAP),
    ("window start from 2**63", dict(time_windows=[[(2**64 - 1, 2**64 - 1)]]), UNWRAP),
    ("window reversed", dict(time_windows=[[(11, 10)]]), WINDOW_ORDER),
    ("hours across midnight", dict(operation_times=(72000, 7200)), HOURS_ORDER),
    ("hours wrap onto themselves", dict(operation_times=(0, 172800)), HOURS_ORDER),
    ("hours start above bound", dict(operation_times=(MAX_SECONDS + 1, 5)), BOUND),
    ("hours end from 2**63", dict(operation_times=(5, 2**63)), BOUND),
    # with every time argument given, the first failing step wins
    ("matrix before jobs", dict(duration_matrix=[[MAX_SECONDS + 1]], job_durations=[2**63],
                                time_windows=[[(2, 1)]], operation_times=(72000, 7200)), BOUND),
    ("jobs before windows", dict(duration_matrix=DM, job_durations=[MAX_SECONDS + 1],
                                 time_windows=[[(2, 1)]]), BOUND),
    ("start before end before order", dict(time_windows=[[(MAX_UNIX + 1, 0)]]), UNWRAP),
    ("windows before hours", dict(duration_matrix=DM, job_durations=JOBS,
                                  time_windows=[[(0, 1)], [(2, 1)]], operation_times=(7, 2)),
     WINDOW_ORDER),
    ("unused entries are checked too", dict(duration_matrix=DM, job_durations=[1, 1, 2**63],
                                            time_windows=WINDOWS), BOUND),
]


@pytest.mark.parametrize("time_arguments, message", [case[1:] for case in FAILURES],
                         ids=[case[0] for case in FAILURES])
def test_conversion_failures(time_arguments, message):
    with pytest.raises(PanicException) as raised:
        solve(M, **time_arguments)
    assert str(raised.value) == message


@pytest.mark.parametrize("hours", [(0, 86400), (3600, 90000), (5, 5), (2**64 - 1, 86399)])
def test_hours_that_mean_always_open(hours):
    always = solve([[0]], [[0]], [100_000], [[(0, 10**6)]], hours)
    assert always.waiting_time == 0 and always.duration == 100_000


@pytest.mark.parametrize("hours, expected_wait", [
    # 08:00-17:00: from midnight wait 8 h, work 9 h, wait 15 h overnight, work 1 h.
    ((28800, 61200), 8 * 3600 + 15 * 3600),
    # 90000..100000 is 01:00:00-03:46:40, open 10,000 s a day: wait 1 h, then
    # three overnight waits of 76,400 s between pieces of the 36,000 s job.
    ((90000, 100000), 3600 + 3 * 76_400),
])
def test_hours_reduce_to_times_of_day(hours, expected_wait):
    out = solve([[0]], [[0]], [10 * 3600], [[(0, 10**7)]], hours)
    assert out.working_time == 10 * 3600
    assert out.waiting_time == expected_wait


def test_boundary_values_are_accepted():
    out = solve([[0]], [[0]], [0], [[(MAX_UNIX, MAX_UNIX)]])
    assert out.start_time == MAX_UNIX
    # The largest job duration converts; only placing it in time overflows.
    with pytest.raises(PanicException, match="^`DateTime \\+ TimeDelta` overflowed$"):
        solve([[0]], [[0]], [MAX_SECONDS], [[(0, 0)]])
    assert solve([[0]], [[0]], [10**12], [[(0, 0)]]).working_time == 10**12



def test_failures_during_evaluation():
    with pytest.raises(PanicException, match="^index out of bounds: the len is 0 but the index is 0$"):
        solve(M, DM, JOBS, [[], [(0, 5)]])
    with pytest.raises(PanicException, match="^index out of bounds: the len is 1 but the index is 1$"):
        solve(M, DM, [1], WINDOWS)
    with pytest.raises(PanicException, match="^`DateTime \\+ TimeDelta` overflowed$"):
        solve([[0]], [[MAX_SECONDS]], [0], [[(MAX_UNIX, MAX_UNIX)]])
