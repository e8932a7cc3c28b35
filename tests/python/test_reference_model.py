"""Checks of the pure-Python reference model on hand-checkable cases."""

import datetime
import itertools
import random

import pytest

import reference_model as rm
from reference_model import ModelFailure

H = 3600
M = 60
MIDNIGHT = 19_676 * 86_400  # 2023-11-15T00:00:00Z
DAY = 86_400


def at_clock(hours, minutes=0, seconds=0, day=0):
    return MIDNIGHT + day * DAY + hours * H + minutes * M + seconds


def index_message(length, index):
    return f"index out of bounds: the len is {length} but the index is {index}"


# --------------------------------------------------------------------------
# Calendar constants
# --------------------------------------------------------------------------


@pytest.mark.parametrize("date, days", [
    ((1970, 1, 1), 0),
    ((1970, 3, 1), 59),
    ((2000, 1, 1), 10_957),
    ((2000, 3, 1), 11_017),  # 2000 is a leap year
    ((1969, 12, 31), -1),
    ((1900, 3, 1), -25_508),  # 1900 is not a leap year
])
def test_days_from_civil(date, days):
    assert rm.days_from_civil(*date) == days


def test_date_time_range_limits():
    assert rm.days_from_civil(262_142, 12, 31) * DAY + DAY - 1 == rm.MAX_DATETIME
    # 656 Gregorian 400-year cycles of 146097 days lead from -262143-01-01 to
    # 0257-01-01, which the standard library can count from 1970.
    days_0257 = (datetime.date(257, 1, 1) - datetime.date(1970, 1, 1)).days
    assert rm.MIN_DATETIME == (days_0257 - 656 * 146_097) * DAY


# --------------------------------------------------------------------------
# next_window
# --------------------------------------------------------------------------

MORNING = (at_clock(9), at_clock(12))
AFTERNOON = (at_clock(14), at_clock(17))
NOON_POINT = (at_clock(13), at_clock(13))


@pytest.mark.parametrize("windows, t, expected", [
    ([MORNING, AFTERNOON], at_clock(8), (MORNING, H)),
    ([MORNING, AFTERNOON], at_clock(9), (MORNING, 0)),
    ([MORNING, AFTERNOON], at_clock(12), (MORNING, 0)),
    ([MORNING, AFTERNOON], at_clock(12, 0, 1), (AFTERNOON, H + 59 * M + 59)),
    ([MORNING, AFTERNOON], at_clock(15), (AFTERNOON, 0)),
    ([MORNING, AFTERNOON], at_clock(17), (AFTERNOON, 0)),
    ([MORNING, AFTERNOON], at_clock(17, 0, 1), None),
    ([], at_clock(10), None),
    ([MORNING, NOON_POINT, AFTERNOON], at_clock(13), (NOON_POINT, 0)),
    ([MORNING, NOON_POINT, AFTERNOON], at_clock(12, 30), (NOON_POINT, 30 * M)),
    ([MORNING, NOON_POINT, AFTERNOON], at_clock(13, 0, 1),
     (AFTERNOON, 59 * M + 59)),
    # Only the window listed last decides whether anything is left.
    ([AFTERNOON, MORNING], at_clock(13), None),
    # Touching windows: the later one owns the shared instant.
    ([(at_clock(9), at_clock(10)), (at_clock(10), at_clock(11))], at_clock(10),
     ((at_clock(10), at_clock(11)), 0)),
    # Same start several times: the last listed is returned.
    ([(at_clock(9), at_clock(9)), (at_clock(9), at_clock(10))], at_clock(9),
     ((at_clock(9), at_clock(10)), 0)),
])
def test_next_window(windows, t, expected):
    assert rm.next_window(windows, t) == expected


def test_next_window_matches_linear_scan_on_sorted_lists():
    rng = random.Random(7)
    for _ in range(300):
        bounds = sorted(rng.sample(range(0, 200), 2 * rng.randint(1, 6)))
        windows = [(bounds[k], bounds[k + 1]) for k in range(0, len(bounds), 2)]
        for t in range(-5, 205):
            found = None
            for w in windows:
                if w[0] <= t <= w[1]:
                    found = (w, 0)
                    break
                if t < w[0]:
                    found = (w, w[0] - t)
                    break
            assert rm.next_window(windows, t) == found, (windows, t)


# --------------------------------------------------------------------------
# waiting_time
# --------------------------------------------------------------------------

OPEN = 8 * H
CLOSE = 17 * H


@pytest.mark.parametrize("daily_start, daily_end, h, expected", [
    (OPEN, CLOSE, 0, 8 * H),
    (OPEN, CLOSE, 7 * H + 59 * M + 59, 1),
    (OPEN, CLOSE, 8 * H, 0),
    (OPEN, CLOSE, 16 * H + 59 * M + 59, 0),
    (OPEN, CLOSE, 17 * H, 15 * H),
    (OPEN, CLOSE, 17 * H + 1, 14 * H + 59 * M + 59),
    (OPEN, CLOSE, 23 * H + 59 * M + 59, 8 * H + 1),
    (0, DAY - 1, DAY - 1, 1),
    (0, 1, 0, 0),
    (0, 1, 1, DAY - 1),
])
def test_waiting_time(daily_start, daily_end, h, expected):
    assert rm.waiting_time(daily_start, daily_end, h) == expected


# --------------------------------------------------------------------------
# action_report
# --------------------------------------------------------------------------

HOURS = (OPEN, CLOSE)
TWO_DAYS = [(at_clock(0), at_clock(23, 59, 59, day=1))]


def work(duration, windows, start, hours=None, location=3, record=True):
    return rm.action_report(duration, windows, hours, start, False, location,
                            record)


def test_job_split_over_night():
    r = work(3 * H, TWO_DAYS, at_clock(16), HOURS)
    assert r.events == [
        ("work", 3, at_clock(16), at_clock(17)),
        ("wait", at_clock(17), at_clock(8, day=1)),
        ("work", 3, at_clock(8, day=1), at_clock(10, day=1)),
    ]
    assert (r.working_time, r.waiting_time, r.duration) == (3 * H, 15 * H, 18 * H)
    assert (r.lateness, r.traveling_time) == (0, 0)
    assert (r.start_time, r.end_time) == (at_clock(16), at_clock(10, day=1))


A = (at_clock(9), at_clock(12))
B = (at_clock(14), at_clock(17))


@pytest.mark.parametrize("case, duration, windows, start, events, lateness", [
    ("zero job after last window", 0, [A], at_clock(13), [], 0),
    ("ends exactly at window end", H, [A, B], at_clock(11),
     [("work", 3, at_clock(11), at_clock(12))], 0),
    ("one second over, later window exists", H + 1, [A, B], at_clock(11),
     [("wait", at_clock(11), at_clock(14)),
      ("work", 3, at_clock(14), at_clock(15, 0, 1))], 0),
    ("one second over, no later window", H + 1, [A], at_clock(11),
     [("work", 3, at_clock(11), at_clock(12, 0, 1))], 1),
    ("arrival before first window", H, [A, B], at_clock(7),
     [("wait", at_clock(7), at_clock(9)),
      ("work", 3, at_clock(9), at_clock(10))], 0),
    # Would end inside B: pushed back by its own length, then looked up again.
    ("would end inside later window", 4 * H, [A, B], at_clock(11),
     [("wait", at_clock(11), at_clock(15)),
      ("work", 3, at_clock(15), at_clock(19))], 2 * H),
    ("arrival after last window", 2 * H, [A, B], at_clock(18),
     [("work", 3, at_clock(18), at_clock(20))], 3 * H),
    # Waited for A, still cannot finish before the last window closes.
    ("waited, then no window at end", 4 * H, [A], at_clock(8),
     [("wait", at_clock(8), at_clock(9)),
      ("work", 3, at_clock(9), at_clock(13))], H),
    ("no windows at all", H, [], at_clock(8),
     [("work", 3, at_clock(8), at_clock(9))], 0),
])
def test_work_against_windows(case, duration, windows, start, events, lateness):
    r = work(duration, windows, start)
    assert r.events == events, case
    assert r.lateness == lateness, case
    assert r.working_time == duration
    expected_end = events[-1][-1] if events else start
    assert r.end_time == expected_end
    assert r.duration == expected_end - start
    assert r.duration == r.working_time + r.waiting_time + r.traveling_time


@pytest.mark.parametrize("start, duration, events", [
    # Exactly at closing time counts as closed.
    (at_clock(17), H, [("wait", at_clock(17), at_clock(8, day=1)),
                       ("travel", at_clock(8, day=1), at_clock(9, day=1))]),
    (at_clock(16), 2 * H, [("travel", at_clock(16), at_clock(17)),
                           ("wait", at_clock(17), at_clock(8, day=1)),
                           ("travel", at_clock(8, day=1), at_clock(9, day=1))]),
    (at_clock(6), H, [("wait", at_clock(6), at_clock(8)),
                      ("travel", at_clock(8), at_clock(9))]),
    # 20 hours of travel need three pieces over two nights.
    (at_clock(8), 20 * H, [("travel", at_clock(8), at_clock(17)),
                           ("wait", at_clock(17), at_clock(8, day=1)),
                           ("travel", at_clock(8, day=1), at_clock(17, day=1)),
                           ("wait", at_clock(17, day=1), at_clock(8, day=2)),
                           ("travel", at_clock(8, day=2), at_clock(10, day=2))]),
])
def test_travel_split_by_operating_hours(start, duration, events):
    r = rm.action_report(duration, None, HOURS, start, True, None, True)
    assert r.events == events
    assert r.traveling_time == duration
    assert r.working_time == 0 and r.lateness == 0
    assert r.end_time == events[-1][-1]
    assert r.duration == r.traveling_time + r.waiting_time


def test_push_back_wait_merges_with_opening_hours_wait():
    # The job would overrun A, so it is pushed to B; B opens at 14:00 but the
    # operating hours only start at 15:00: one merged wait of 4 hours.
    r = work(2 * H, [A, B], at_clock(11), (15 * H, 23 * H))
    assert r.events == [("wait", at_clock(11), at_clock(15)),
                        ("work", 3, at_clock(15), at_clock(17))]
    assert r.waiting_time == 4 * H


def test_record_events_changes_only_the_events():
    rng = random.Random(11)
    for _ in range(200):
        windows = []
        t = at_clock(0)
        for _ in range(rng.randint(0, 3)):
            s = t + rng.randint(0, 10 * H)
            e = s + rng.randint(0, 6 * H)
            windows.append((s, e))
            t = e
        hours = rng.choice([None, HOURS, (0, 1), (10 * H, 11 * H)])
        start = at_clock(0) + rng.randint(0, 30 * H)
        duration = rng.randint(0, 12 * H)
        with_events = work(duration, windows, start, hours, record=True)
        without = work(duration, windows, start, hours, record=False)
        assert without.events == []
        assert with_events.totals() == without.totals()
        # The recorded events tile the action's span without gaps.
        cursor = start
        for event in with_events.events:
            assert event[-2] == cursor and event[-1] > cursor
            cursor = event[-1]
        assert cursor == with_events.end_time


@pytest.mark.parametrize("start, duration, message", [
    (rm.MAX_DATETIME - 10, 11, "`DateTime + TimeDelta` overflowed"),
    (rm.MAX_DATETIME - 10, rm.MAX_DURATION_SECONDS,
     "`DateTime + TimeDelta` overflowed"),
])
def test_action_overflow(start, duration, message):
    with pytest.raises(ModelFailure) as info:
        rm.action_report(duration, None, None, start, True, None, False)
    assert str(info.value) == message


def test_action_ending_at_last_instant_is_fine():
    r = rm.action_report(10, None, None, rm.MAX_DATETIME - 10, True, None, True)
    assert r.end_time == rm.MAX_DATETIME


@pytest.mark.parametrize("op, a, b, message", [
    (rm.dur_add, rm.MAX_DURATION_SECONDS, 1, "`TimeDelta + TimeDelta` overflowed"),
    (rm.dur_add, -rm.MAX_DURATION_SECONDS, -1, "`TimeDelta + TimeDelta` overflowed"),
    (rm.dur_sub, -rm.MAX_DURATION_SECONDS, 1, "`TimeDelta - TimeDelta` overflowed"),
    (rm.dt_add, rm.MAX_DATETIME, 1, "`DateTime + TimeDelta` overflowed"),
    (rm.dt_sub, rm.MIN_DATETIME, 1, "`DateTime - TimeDelta` overflowed"),
])
def test_checked_arithmetic_failures(op, a, b, message):
    with pytest.raises(ModelFailure) as info:
        op(a, b)
    assert str(info.value) == message
    assert info.value.message == message


@pytest.mark.parametrize("op, a, b, result", [
    (rm.dur_add, rm.MAX_DURATION_SECONDS - 1, 1, rm.MAX_DURATION_SECONDS),
    (rm.dur_sub, -rm.MAX_DURATION_SECONDS + 1, 1, -rm.MAX_DURATION_SECONDS),
    (rm.dt_add, rm.MAX_DATETIME - 1, 1, rm.MAX_DATETIME),
    (rm.dt_sub, rm.MIN_DATETIME + 1, 1, rm.MIN_DATETIME),
])
def test_checked_arithmetic_limits(op, a, b, result):
    assert op(a, b) == result


# --------------------------------------------------------------------------
# Input conversion
# --------------------------------------------------------------------------

BIG_D = rm.MAX_DURATION_SECONDS


@pytest.mark.parametrize("kwargs, message", [
    (dict(job_durations=[BIG_D + 1]), "TimeDelta::seconds out of bounds"),
    (dict(duration_matrix=[[0], [0, BIG_D + 1]]), "TimeDelta::seconds out of bounds"),
    (dict(time_windows=[[(0, rm.MAX_DATETIME + 1)]]),
     "called `Option::unwrap()` on a `None` value"),
    (dict(time_windows=[[], [(11, 10)]]), "assertion failed: start <= end"),
    # start conversion comes before the start <= end check
    (dict(time_windows=[[(rm.MAX_DATETIME + 1, 0)]]),
     "called `Option::unwrap()` on a `None` value"),
    (dict(operation_times=(72_000, 7_200)), "assertion failed: daily_start < daily_end"),
    (dict(operation_times=(0, 172_800)), "assertion failed: daily_start < daily_end"),
    (dict(operation_times=(BIG_D + 1, 5)), "TimeDelta::seconds out of bounds"),
    (dict(operation_times=(5, BIG_D + 1)), "TimeDelta::seconds out of bounds"),
    # Checking order: durations before windows before operating hours.
    (dict(duration_matrix=[[BIG_D + 1]], time_windows=[[(2, 1)]]),
     "TimeDelta::seconds out of bounds"),
    (dict(time_windows=[[(2, 1)]], operation_times=(72_000, 7_200)),
     "assertion failed: start <= end"),
])
def test_from_arguments_failures(kwargs, message):
    with pytest.raises(ModelFailure) as info:
        rm.from_arguments(**kwargs)
    assert str(info.value) == message


@pytest.mark.parametrize("operation_times, expected", [
    (None, None),
    ((28_800, 61_200), (8 * H, 17 * H)),
    ((0, 86_400), None),
    ((3_600, 90_000), None),
    ((5, 5), None),
    ((90_000, 100_000), (H, 3 * H + 46 * M + 40)),
    # A full-day span is no restriction even with out-of-range values.
    ((2**64 - 1, 86_399), None),
])
def test_from_arguments_operation_times(operation_times, expected):
    scheduler = rm.from_arguments([[0]], [0], [[(0, 0)]], operation_times)
    assert scheduler.operation_times == expected


@pytest.mark.parametrize("kwargs", [
    dict(job_durations=[BIG_D], time_windows=[[(5, 5)]]),
    dict(duration_matrix=[[1]], time_windows=[[(0, rm.MAX_DATETIME)]]),
    dict(duration_matrix=[[1]], job_durations=[1]),
    dict(operation_times=(28_800, 61_200)),
])
def test_from_arguments_without_all_three_gives_none(kwargs):
    assert rm.from_arguments(**kwargs) is None


def test_from_arguments_keeps_lists_as_given():
    s = rm.from_arguments([[1, 2], [3]], [4, 5, 6], [[], [(7, 8), (9, 9)]], None)
    assert s.duration_matrix == [[1, 2], [3]]
    assert s.job_durations == [4, 5, 6]
    assert s.time_windows == [[], [(7, 8), (9, 9)]]
    assert s.operation_times is None


# --------------------------------------------------------------------------
# Local moves
# --------------------------------------------------------------------------


@pytest.mark.parametrize("move, expected", [
    (rm.reverse_segment, [0, 7, 6, 5, 4, 3, 2, 1, 8]),
    (rm.swap_pair, [0, 7, 2, 3, 4, 5, 6, 1, 8]),
    (rm.rotate_left_1, [0, 2, 3, 4, 5, 6, 7, 1, 8]),
    (rm.rotate_left_2, [0, 3, 4, 5, 6, 7, 1, 2, 8]),
    (rm.rotate_left_3, [0, 4, 5, 6, 7, 1, 2, 3, 8]),
    (rm.rotate_right_1, [0, 7, 1, 2, 3, 4, 5, 6, 8]),
    (rm.rotate_right_2, [0, 6, 7, 1, 2, 3, 4, 5, 8]),
    (rm.rotate_right_3, [0, 5, 6, 7, 1, 2, 3, 4, 8]),
])
def test_moves_on_example_route(move, expected):
    route = list(range(9))
    assert move(route, 1, 7) is None
    assert route == expected


@pytest.mark.parametrize("move, i, j, expected", [
    (rm.reverse_segment, 2, 3, [0, 1, 3, 2, 4]),
    (rm.reverse_segment, 0, 4, [4, 3, 2, 1, 0]),
    (rm.rotate_left_3, 1, 3, [0, 1, 2, 3, 4]),
    (rm.rotate_right_2, 0, 1, [0, 1, 2, 3, 4]),
    (rm.rotate_left_1, 0, 4, [1, 2, 3, 4, 0]),
    (rm.rotate_right_1, 0, 4, [4, 0, 1, 2, 3]),
])
def test_moves_at_edges(move, i, j, expected):
    route = list(range(5))
    move(route, i, j)
    assert route == expected


def test_pass_table_order_and_gaps():
    assert [(m.__name__, g) for m, g in rm.PASS_TABLE] == [
        ("reverse_segment", 0), ("swap_pair", 2), ("rotate_left_1", 1),
        ("rotate_right_1", 1), ("rotate_left_2", 2), ("rotate_right_2", 3),
        ("rotate_left_3", 4), ("rotate_right_3", 5)]


# --------------------------------------------------------------------------
# Penalizer
# --------------------------------------------------------------------------

SQUARE = [[0, 1, 2, 3], [4, 0, 5, 6], [7, 8, 0, 9], [10, 11, 12, 13]]


@pytest.mark.parametrize("route, distance", [
    ([0], 0),
    ([3], 13),
    ([1, 2], 5 + 8),
    ([0, 1, 2, 3], 1 + 5 + 9 + 10),
    ([3, 2, 1, 0], 12 + 8 + 4 + 3),
])
def test_distance(route, distance):
    s = rm.penalize(rm.Penalizer(SQUARE, None), route, True)
    assert s.distance == distance
    assert s.time_report is None
    assert s.route == route


def test_distance_wraps():
    big = 2**64 - 1
    s = rm.penalize(rm.Penalizer([[0, big], [2, 0]], None), [0, 1], False)
    assert s.distance == 1


@pytest.mark.parametrize("matrix, route, message", [
    ([[0]], [], index_message(0, 0)),
    ([[0], [1, 0]], [0, 1], index_message(1, 1)),
    ([[0, 1], [1, 0]], [0, 2], index_message(2, 2)),
    ([[0, 1], [1, 0]], [2, 0], index_message(2, 2)),
])
def test_distance_index_failures(matrix, route, message):
    with pytest.raises(ModelFailure) as info:
        rm.penalize(rm.Penalizer(matrix, None), route, False)
    assert str(info.value) == message


def test_short_row_only_fails_when_read():
    p = rm.Penalizer([[0, 1, 1], [1, 0], [1, 1, 0]], None)
    assert rm.penalize(p, [0, 2, 1], False).distance == 3


def make_solution(lateness, traveling, duration, waiting, distance):
    report = rm.TimeReport([], duration, lateness, 0, waiting, traveling, 0,
                           duration)
    return rm.Solution([0], report, distance)


TIMED = rm.Penalizer([[0]], rm.TimeScheduler([[0]], [0], [[(0, 0)]], None))


@pytest.mark.parametrize("candidate, reference, expected", [
    ((0, 9, 9, 9, 999), (1, 0, 0, 0, 0), True),
    ((1, 0, 0, 0, 0), (0, 9, 9, 9, 999), False),
    ((1, 2, 9, 9, 9), (1, 3, 0, 0, 0), True),
    ((1, 2, 3, 9, 9), (1, 2, 4, 0, 0), True),
    ((1, 2, 3, 4, 9), (1, 2, 3, 5, 0), True),
    ((1, 2, 3, 4, 5), (1, 2, 3, 4, 6), True),
    ((1, 2, 3, 4, 6), (1, 2, 3, 4, 5), False),
    ((1, 2, 3, 4, 5), (1, 2, 3, 4, 5), False),
])
def test_time_data_order(candidate, reference, expected):
    assert rm.is_better(TIMED, make_solution(*candidate),
                        make_solution(*reference)) is expected


@pytest.mark.parametrize("a, b, expected", [(1, 2, True), (2, 1, False), (3, 3, False)])
def test_distance_order(a, b, expected):
    p = rm.Penalizer([[0]], None)
    assert rm.is_better(p, rm.Solution([0], None, a), rm.Solution([0], None, b)) is expected


# --------------------------------------------------------------------------
# Route schedule
# --------------------------------------------------------------------------


def test_route_of_one_location():
    s = rm.TimeScheduler([[30]], [20], [[(1000, 2000)]], None)
    r = rm.route_schedule(s, [0], True)
    assert r.events == [("work", 0, 1000, 1020), ("travel", 1020, 1050)]
    assert (r.start_time, r.end_time, r.duration) == (1000, 1050, 50)
    assert (r.working_time, r.traveling_time, r.waiting_time) == (20, 30, 0)


def test_route_schedule_chains_actions():
    # Job 0 ends exactly at its window's end (not late); location 1 opens
    # after the arrival, so there is a wait; job 2 overruns its only window.
    s = rm.TimeScheduler(
        [[0, 10, 0], [0, 0, 5], [7, 0, 0]],
        [2, 3, 4],
        [[(100, 102)], [(150, 200)], [(0, 160)]],
        None)
    r = rm.route_schedule(s, [0, 1, 2], True)
    assert r.events == [
        ("work", 0, 100, 102), ("travel", 102, 112),
        ("wait", 112, 150), ("work", 1, 150, 153), ("travel", 153, 158),
        ("work", 2, 158, 162), ("travel", 162, 169),
    ]
    assert r.lateness == 2
    assert (r.working_time, r.traveling_time, r.waiting_time) == (9, 22, 38)
    assert r.duration == 69 == r.end_time - r.start_time


@pytest.mark.parametrize("scheduler, route, message", [
    (rm.TimeScheduler([[0]], [0], [[]], None), [0], index_message(0, 0)),
    (rm.TimeScheduler([[0]], [0], [[(0, 1)]], None), [1], index_message(1, 1)),
    (rm.TimeScheduler([[0, 0]], [0, 0], [[(0, 1)], [(0, 1)]], None), [0, 1],
     index_message(1, 1)),
    (rm.TimeScheduler([[0, 0], []], [0, 0], [[(0, 1)], [(0, 1)]], None), [0, 1],
     index_message(0, 0)),
    (rm.TimeScheduler([[0, 0], [0, 0]], [0], [[(0, 1)], [(0, 1)]], None), [0, 1],
     index_message(1, 1)),
    (rm.TimeScheduler([[0, 0], [0, 0]], [0, 0], [[(0, 1)]], None), [0, 1],
     index_message(1, 1)),
])
def test_route_schedule_index_failures(scheduler, route, message):
    with pytest.raises(ModelFailure) as info:
        rm.route_schedule(scheduler, route, False)
    assert str(info.value) == message


# --------------------------------------------------------------------------
# run_move and the whole model
# --------------------------------------------------------------------------


@pytest.mark.parametrize("size, min_gap", [(0, 0), (1, 0), (2, 1), (6, 5), (3, 2)])
def test_run_move_without_pairs(size, min_gap):
    matrix = [[1] * max(size, 1) for _ in range(max(size, 1))]
    p = rm.Penalizer(matrix, None)
    current = rm.Solution(list(range(size)), None, 0)
    improved, after = rm.run_move(p, current, size, rm.swap_pair, min_gap)
    assert improved is False and after is current


def test_run_move_continues_after_acceptance():
    # Only the edges of the tour 1->0->2->4->3->1 are cheap (1), all else 10.
    cheap = {(1, 0), (0, 2), (2, 4), (4, 3), (3, 1)}
    matrix = [[1 if (a, b) in cheap else 10 for b in range(5)] for a in range(5)]
    p = rm.Penalizer(matrix, None)
    seen = []

    def logged_reverse(route, i, j):
        seen.append(((i, j), list(route)))
        rm.reverse_segment(route, i, j)

    current = rm.penalize(p, [0, 1, 2, 3, 4], False)
    assert current.distance == 50
    improved, after = rm.run_move(p, current, 5, logged_reverse, 0)
    assert improved
    # Every pair with j > i is tried once, in order, without restarting.
    assert [pair for pair, _ in seen] == [
        (i, j) for i in range(5) for j in range(i + 1, 5)]
    # (0, 1) gives [1,0,2,3,4] at 32 and is accepted; later pairs start from
    # it; (2, 3) ties at 32 and is rejected; (3, 4) gives the cheap tour.
    assert seen[0][1] == [0, 1, 2, 3, 4]
    assert all(route == [1, 0, 2, 3, 4] for _, route in seen[1:])
    assert after.route == [1, 0, 2, 4, 3]
    assert after.distance == 5


def test_solve_single_location_without_time():
    out = rm.solve_model([[7]])
    assert out["route"] == [0] and out["distance"] == 7 and out["iterations"] == 1
    for key in ("lateness", "duration", "working_time", "waiting_time",
                "traveling_time", "start_time", "end_time", "schedule"):
        assert out[key] is None


def test_solve_two_locations_keep_identity():
    out = rm.solve_model([[0, 4], [6, 0]])
    assert out["route"] == [0, 1] and out["distance"] == 10


def test_solve_first_improvement_on_a_line():
    # Location k at x = X[k]; identity tour 0->1->2->3->0 has length 8, the
    # very first candidate (swap the first two) already reaches the optimum 6.
    X = [0, 2, 1, 3]
    out = rm.solve_model([[abs(a - b) for b in X] for a in X])
    assert out["route"] == [1, 0, 2, 3]
    assert out["distance"] == 6


def test_solve_time_order_beats_distance():
    # Forward direction 0->1->2->0 is short but slow, backward is long but fast.
    distance = [[0, 1, 100], [100, 0, 1], [1, 100, 0]]
    durations = [[0, 10, 1], [1, 0, 10], [10, 1, 0]]
    windows = [[(0, 10**6)]] * 3
    out = rm.solve_model(distance, durations, [0, 0, 0], windows)
    assert out["route"] == [1, 0, 2]
    assert out["distance"] == 300
    assert out["traveling_time"] == 3
    assert out["schedule"] == [("travel", 0, 1), ("travel", 1, 2), ("travel", 2, 3)]
    assert (out["start_time"], out["end_time"], out["duration"]) == (0, 3, 3)
    assert (out["lateness"], out["waiting_time"], out["working_time"]) == (0, 0, 0)


def test_solve_time_data_with_split_job():
    out = rm.solve_model([[0]], [[0]], [3 * H], [TWO_DAYS[:]], (OPEN, CLOSE))
    # The schedule begins at the window start (midnight), so it first waits.
    assert out["schedule"] == [
        ("wait", at_clock(0), at_clock(8)),
        ("work", 0, at_clock(8), at_clock(11)),
    ]
    assert out["duration"] == 11 * H and out["waiting_time"] == 8 * H


@pytest.mark.parametrize("args, message", [
    (([],), index_message(0, 0)),
    (([[0]], None, None, None, (72_000, 7_200)),
     "assertion failed: daily_start < daily_end"),
    (([[0]], [[0]], [0], [[]]), index_message(0, 0)),
    (([[0]], [[0]], [0], [[(5, 4)]]), "assertion failed: start <= end"),
])
def test_solve_failures(args, message):
    with pytest.raises(ModelFailure) as info:
        rm.solve_model(*args)
    assert str(info.value) == message


def test_solve_reaches_a_local_optimum_of_every_move():
    rng = random.Random(3)
    for n in range(1, 8):
        matrix = [[rng.randint(0, 50) for _ in range(n)] for _ in range(n)]
        out = rm.solve_model(matrix)
        route = out["route"]
        assert sorted(route) == list(range(n))
        p = rm.Penalizer(matrix, None)
        assert rm.penalize(p, list(route), False).distance == out["distance"]
        for move, gap in rm.PASS_TABLE:
            for i, j in itertools.combinations(range(n), 2):
                if j >= i + 1 + gap:
                    candidate = list(route)
                    move(candidate, i, j)
                    assert rm.penalize(p, candidate, False).distance >= out["distance"]
