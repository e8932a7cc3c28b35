import pytest

import tourwright


def _internal_failure_class():
    try:
        tourwright.solve([])
    except BaseException as failure:  # the class is not a module attribute
        return type(failure)
    raise AssertionError("an empty matrix must fail")


PanicException = _internal_failure_class()


@pytest.fixture
def panic():
    return PanicException


def event_tuples(schedule):
    """Plain (kind, [location,] start, end) tuples of a schedule, for comparison."""
    if schedule is None:
        return None
    plain = []
    for event in schedule:
        payload = event._0
        kind = type(event).__name__.removeprefix("PyEvent_").lower()
        if kind == "work":
            plain.append((kind, payload.location) + payload.window)
        else:
            plain.append((kind,) + payload.window)
    return plain
