"""The module object and the PyOutput result class."""

import importlib
import sys
import weakref

import pytest

import tourwright
from tourwright import PyOutput, solve

from conftest import PanicException

H = 3600
TIME_ATTRIBUTES = ["lateness", "duration", "working_time", "waiting_time", "traveling_time",
                   "start_time", "end_time", "schedule"]
ALL_ATTRIBUTES = ["distance", "route", "lateness", "duration", "working_time", "waiting_time",
                  "traveling_time", "start_time", "end_time", "iterations",
                  "time_taken_microseconds", "schedule"]


def test_module_surface():
    assert tourwright.__all__ == ["solve", "PyOutput"]
    assert tourwright.__doc__
    assert tourwright.solve.__self__ is tourwright
    assert tourwright.solve.__module__ == "tourwright"
    assert tourwright.solve.__text_signature__ == (
        "(distance_matrix, duration_matrix=None, job_durations=None, time_windows=None, "
        "operation_times=None, time_limit=None)")
    assert tourwright.solve.__doc__ == "Solving the Traveling Salesman Problem with Time Windows."


def test_reimport_returns_the_same_module_object():
    first = sys.modules.pop("tourwright")
    try:
        again = importlib.import_module("tourwright")
        assert again is first
    finally:
        sys.modules["tourwright"] = first


def test_internal_failure_class():
    assert PanicException.__name__ == "PanicException"
    assert PanicException.__module__ == "pyo3_runtime"
    assert PanicException.__bases__ == (BaseException,)
    assert not issubclass(PanicException, Exception)
    with pytest.raises(PanicException) as raised:
        solve([])
    assert raised.value.args == ("index out of bounds: the len is 0 but the index is 0",)


def test_output_class_properties():
    assert PyOutput.__name__ == PyOutput.__qualname__ == "PyOutput"
    assert PyOutput.__bases__ == (object,)
    assert repr(PyOutput) == "<class 'PyOutput'>"
    attributes = [name for name in vars(PyOutput) if not name.startswith("__")]
    assert attributes == ALL_ATTRIBUTES
    assert all(vars(PyOutput)[name].__doc__ is None for name in ALL_ATTRIBUTES)
    with pytest.raises(TypeError, match="^No constructor defined for PyOutput$"):
        PyOutput()
    with pytest.raises(TypeError):
        type("Sub", (PyOutput,), {})


def test_output_objects_are_read_only_snapshots():
    out = solve([[0, 2], [3, 0]])
    for name in ALL_ATTRIBUTES:
        with pytest.raises(AttributeError):
            setattr(out, name, 1)
        with pytest.raises(AttributeError):
            delattr(out, name)
    with pytest.raises(AttributeError):
        out.extra = 1
    assert not hasattr(out, "__dict__")
    with pytest.raises(TypeError):
        weakref.ref(out)
    with pytest.raises(TypeError):
        PyOutput.distance.__get__(5)
    assert out.route is not out.route and out.route == out.route == [0, 1]
    assert out == out and out != solve([[0, 2], [3, 0]])


def test_distance_only_result():
    out = solve([[0, 1, 2], [1, 0, 1], [2, 1, 0]])
    assert (out.route, out.distance, out.iterations) == ([0, 1, 2], 4, 1)
    assert isinstance(out.time_taken_microseconds, int) and out.time_taken_microseconds >= 0
    for name in TIME_ATTRIBUTES:
        assert getattr(out, name) is None


@pytest.mark.parametrize("time_arguments", [
    dict(job_durations=[1, 1]),
    dict(duration_matrix=[[0, 1], [1, 0]], job_durations=[1, 1]),
    dict(duration_matrix=[[0, 1], [1, 0]], time_windows=[[(0, 9)], [(0, 9)]]),
    dict(operation_times=(0, 3600)),
])
def test_partial_time_data_gives_no_time_report(time_arguments):
    out = solve([[0, 1], [1, 0]], **time_arguments)
    for name in TIME_ATTRIBUTES:
        assert getattr(out, name) is None


def test_time_report_attributes():
    day = 19_723 * 86_400  # 2024-01-01
    out = solve([[0, 4], [6, 0]], [[0, H], [2 * H, 0]], [H, H],
                [[(day + 8 * H, day + 18 * H)], [(day + 12 * H, day + 13 * H)]])
    # Starting at the second location avoids waiting for its window.
    assert out.route == [1, 0]
    assert out.distance == 10
    assert out.start_time == day + 12 * H
    assert out.end_time == day + 17 * H
    assert (out.working_time, out.waiting_time, out.traveling_time) == (2 * H, 0, 3 * H)
    assert out.duration == out.working_time + out.waiting_time + out.traveling_time
    assert out.end_time - out.start_time == out.duration
    assert out.lateness == 0


def test_epoch_and_late_finish_convert_to_plain_seconds():
    out = solve([[0]], [[0]], [10], [[(0, 4)]])
    assert out.start_time == 0
    assert out.lateness == 6
    assert out.end_time == 10


def test_time_limit_bounds(panic):
    largest = 9_223_372_036_854_775
    assert solve([[0]], time_limit=0).iterations == 0
    with pytest.raises(panic, match="^TimeDelta::seconds out of bounds$"):
        solve([[0]], time_limit=largest + 1)
    with pytest.raises(panic, match="^TimeDelta::seconds out of bounds$"):
        solve([[0]], time_limit=2**64 - 1)  # refused, not read as a negative limit
    # The limit is checked only after the time data converted cleanly.
    with pytest.raises(panic, match="^assertion failed: daily_start < daily_end$"):
        solve([[0]], operation_times=(72000, 7200), time_limit=largest + 1)


def test_time_limit_restarts_and_returns_a_permutation():
    matrix = [[abs(a - b) for b in range(8)] for a in range(8)]
    out = solve(matrix, time_limit=0)
    assert out.route == list(range(8))
    out = solve([[abs(a - b) * (1 + (a * b) % 3) for b in range(9)] for a in range(9)], time_limit=1)
    assert sorted(out.route) == list(range(9))
    assert out.iterations > 1
    assert out.time_taken_microseconds >= 1_000_000
