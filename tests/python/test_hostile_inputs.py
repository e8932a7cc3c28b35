"""Property tests: hostile Python values at every parameter of solve() and at
the event classes' constructors and item access.

Each drawn value is read both by the extraction model and by the module. Where
the model refuses it, the module must raise the same exception type with the
same message (and the same cause); where the model reads plain numbers from
it, the module must behave exactly as when given those plain numbers. The
interpreter surviving every example is part of the property.
"""

import os

import pytest
from hypothesis import HealthCheck, given, settings
from hypothesis import event as note_outcome
from hypothesis import strategies as st

import extraction_model as model
import hostile_values as hostile
from conftest import PanicException, event_tuples
from tourwright import solve

# Hostile __index__ methods return int subclasses, which the interpreter
# accepts with a deprecation warning.
pytestmark = pytest.mark.filterwarnings("ignore:__index__ returned non-int:DeprecationWarning")

EXAMPLES = int(os.environ.get("TOURWRIGHT_HYPOTHESIS_EXAMPLES", "200"))
hostile_settings = settings(
    max_examples=EXAMPLES, deadline=None, database=None,
    suppress_health_check=[HealthCheck.too_slow, HealthCheck.filter_too_much,
                           HealthCheck.data_too_large])

H = 3600
# Plain values for the parameters not under attack: time data on, and nothing
# that makes a search slow. One location where the hostile value must supply
# a row or list per location, so that more hostile values get through to a
# search; three elsewhere.
THREE = {
    "distance_matrix": [[0, 4, 9], [4, 0, 5], [9, 5, 0]],
    "duration_matrix": [[0, H, 2 * H], [H, 0, H], [2 * H, H, 0]],
    "job_durations": [60, 120, 60],
    "time_windows": [[(0, 10 * H)], [(H, 2 * H), (3 * H, 9 * H)], [(0, 86_400)]],
}
ONE = {"distance_matrix": [[7]], "duration_matrix": [[H]], "job_durations": [60],
       "time_windows": [[(0, 10 * H)]]}
COMPANIONS = {
    "distance_matrix": {},
    "duration_matrix": {key: ONE[key] for key in ("distance_matrix", "job_durations",
                                                  "time_windows")},
    "job_durations": {key: THREE[key] for key in ("distance_matrix", "duration_matrix",
                                                  "time_windows")},
    "time_windows": {key: ONE[key] for key in ("distance_matrix", "duration_matrix",
                                               "job_durations")},
    "operation_times": dict(THREE),
    "time_limit": {"distance_matrix": THREE["distance_matrix"]},
}


def outcome(call):
    try:
        return call(), None
    except BaseException as error:  # noqa: B902 - hostile values raise anything
        return None, error


def assert_same_error(actual, expected):
    assert actual is not None, f"expected {expected!r}, got a result"
    assert type(actual) is type(expected), (actual, expected)
    assert str(actual) == str(expected)
    actual_cause, expected_cause = actual.__cause__, expected.__cause__
    assert type(actual_cause) is type(expected_cause)
    assert str(actual_cause) == str(expected_cause)


def summary(out):
    return (out.route, out.distance, out.lateness, out.duration, out.working_time,
            out.waiting_time, out.traveling_time, out.start_time, out.end_time, out.iterations,
            event_tuples(out.schedule))


def assert_same_solve(actual, expected):
    """Two solve() outcomes: equal results, or the same internal failure."""
    (actual_out, actual_error), (expected_out, expected_error) = actual, expected
    if expected_error is not None:
        assert type(expected_error) is PanicException, expected_error
        assert_same_error(actual_error, expected_error)
    else:
        assert actual_error is None, actual_error
        assert summary(actual_out) == summary(expected_out)


@pytest.mark.parametrize("name", list(COMPANIONS))
@hostile_settings
@given(data=st.data())
def test_solve_reads_hostile_values_like_the_model(name, data):
    recipe = data.draw(hostile.parameter_recipes(name), label=name)
    arguments = COMPANIONS[name]

    def with_hostile():
        return dict(arguments, **{name: recipe.build()})

    plain, refused = outcome(lambda: model.extract_solve_arguments(with_hostile()))
    result = outcome(lambda: solve(**with_hostile()))
    if refused is not None:
        note_outcome(f"refused: {type(refused).__name__}")
        assert_same_error(result[1], refused)
    else:
        expected = outcome(lambda: solve(**plain))
        note_outcome("read, then " + ("solved" if expected[1] is None else "internal failure"))
        assert_same_solve(result, expected)


@pytest.fixture(scope="module")
def schedule():
    # Work, wait and travel events (a 10-hour job under 08:00-17:00 hours).
    return solve([[0]], [[H]], [10 * H], [[(8 * H, 40 * H)]], (8 * H, 17 * H)).schedule


@pytest.fixture(scope="module")
def kinds(schedule):
    """{class name: (class, payload class, an event of that class)}."""
    found = {}
    for event in schedule:
        found.setdefault(type(event).__name__, (type(event), type(event._0), event))
    assert set(found) == {"PyEvent_Work", "PyEvent_Wait", "PyEvent_Travel"}
    return found


def payload_fields(payload):
    return getattr(payload, "location", None), payload.window


@hostile_settings
@given(index=hostile.integer_recipes() | hostile.anything())
def test_item_access_with_hostile_indices(kinds, index):
    for _, _, event in kinds.values():
        read, refused = outcome(lambda: model.read_item(index.build()))
        item, error = outcome(lambda: event[index.build()])
        if refused is not None:
            assert_same_error(error, refused)
        else:
            assert error is None, error
            assert payload_fields(item) == payload_fields(event._0)
        # Length and iteration are unaffected by whatever happened.
        assert len(event) == 1
        assert [payload_fields(p) for p in event] == [payload_fields(event._0)]


KEYWORDS = st.sampled_from(["_0", "_1", "x", "", hostile.StrSubclass("_0"),
                            hostile.StrSubclass("y")])


@hostile_settings
@given(data=st.data())
def test_event_constructors_with_hostile_arguments(kinds, data):
    payloads = [entry[2]._0 for entry in kinds.values()]
    value = st.one_of(st.sampled_from(payloads).map(hostile.plain), hostile.anything())
    positional = data.draw(st.lists(value, max_size=3), label="args")
    keywords = data.draw(st.dictionaries(KEYWORDS, value, max_size=2), label="kwargs")
    for name, (event_class, payload_class, _) in kinds.items():
        args = hostile.build_all(positional)
        kwargs = {key: recipe.build() for key, recipe in keywords.items()}
        expected, refused = outcome(
            lambda: model.check_event_constructor(name, payload_class, args, kwargs))
        made, error = outcome(lambda: event_class(*args, **kwargs))
        if refused is not None:
            assert_same_error(error, refused)
        else:
            assert error is None, error
            assert type(made) is event_class
            # The event holds a copy of the payload it was given.
            assert payload_fields(made._0) == payload_fields(expected)
            assert made._0 is not expected
