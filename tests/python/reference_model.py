"""Slow pure-Python twin of tourwright's search and evaluation.

The test suite compares ``tourwright.solve`` (without a time limit) against
``solve_model`` on small instances.  Everything here is written to be read
next to the documented procedures, step by step, not to be fast.

Every value that can reach the model is a whole number of seconds, so
durations and date-times are plain ints: a duration is a signed count of
seconds, a date-time is Unix seconds (UTC), a time of day is seconds since
midnight.  The range checks of the native time types are reproduced so that
the same overflow messages come out.
"""

# --------------------------------------------------------------------------
# Failures
# --------------------------------------------------------------------------


class ModelFailure(Exception):
    """An internal failure of the module; ``message`` is its exact text."""

    def __init__(self, message):
        super().__init__(message)
        self.message = message

    def __str__(self):
        return self.message


def index_failure(length, index):
    return ModelFailure(
        f"index out of bounds: the len is {length} but the index is {index}")


def at(items, index):
    """items[index] with the native bounds check (no negative indexing)."""
    if index >= len(items):
        raise index_failure(len(items), index)
    return items[index]


# --------------------------------------------------------------------------
# Time arithmetic (whole seconds)
# --------------------------------------------------------------------------

SECONDS_PER_DAY = 86_400

# Largest whole-second magnitude a duration can hold: floor((2**63 - 1) / 1000).
MAX_DURATION_SECONDS = 9_223_372_036_854_775


def days_from_civil(year, month, day):
    """Days since 1970-01-01 of a proleptic-Gregorian date."""
    year -= 1 if month <= 2 else 0
    era = year // 400
    yoe = year - era * 400
    doy = (153 * (month + (-3 if month > 2 else 9)) + 2) // 5 + day - 1
    doe = yoe * 365 + yoe // 4 - yoe // 100 + doy
    return era * 146_097 + doe - 719_468


# Date-time range: -262143-01-01T00:00:00 .. 262142-12-31T23:59:59 (UTC).
MIN_DATETIME = days_from_civil(-262143, 1, 1) * SECONDS_PER_DAY
MAX_DATETIME = 8_210_266_876_799


def duration_in_range(d):
    return -MAX_DURATION_SECONDS <= d <= MAX_DURATION_SECONDS


def datetime_in_range(t):
    return MIN_DATETIME <= t <= MAX_DATETIME


def dur_add(a, b):
    r = a + b
    if not duration_in_range(r):
        raise ModelFailure("`TimeDelta + TimeDelta` overflowed")
    return r


def dur_sub(a, b):
    r = a - b
    if not duration_in_range(r):
        raise ModelFailure("`TimeDelta - TimeDelta` overflowed")
    return r


def dt_add(t, d):
    r = t + d
    if not datetime_in_range(r):
        raise ModelFailure("`DateTime + TimeDelta` overflowed")
    return r


def dt_sub(t, d):
    r = t - d
    if not datetime_in_range(r):
        raise ModelFailure("`DateTime - TimeDelta` overflowed")
    return r


def time_of_day(t):
    return t % SECONDS_PER_DAY


# --------------------------------------------------------------------------
# Input conversion
# --------------------------------------------------------------------------


class TimeScheduler:
    def __init__(self, duration_matrix, job_durations, time_windows,
                 operation_times):
        self.duration_matrix = duration_matrix  # rows of durations
        self.job_durations = job_durations      # durations
        self.time_windows = time_windows        # per location: [(start, end)]
        self.operation_times = operation_times  # (daily_start, daily_end) or None

    def travel_duration(self, frm, to):
        row = at(self.duration_matrix, frm)
        return at(row, to)


def seconds_to_duration(v):
    if v > MAX_DURATION_SECONDS:
        raise ModelFailure("TimeDelta::seconds out of bounds")
    return v


def unix_to_datetime(v):
    if v > MAX_DATETIME:
        raise ModelFailure("called `Option::unwrap()` on a `None` value")
    return v


def seconds_to_time_of_day(v):
    seconds_to_duration(v)  # same bound and message as a duration
    return v % SECONDS_PER_DAY


def make_window(start, end):
    if not start <= end:
        raise ModelFailure("assertion failed: start <= end")
    return (start, end)


def make_operation_times(daily_start, daily_end):
    if not daily_start < daily_end:
        raise ModelFailure("assertion failed: daily_start < daily_end")
    return (daily_start, daily_end)


def from_arguments(duration_matrix=None, job_durations=None,
                   time_windows=None, operation_times=None):
    """Convert and check the time arguments; a TimeScheduler or None."""
    durations = None
    if duration_matrix is not None:
        durations = [[seconds_to_duration(v) for v in row]
                     for row in duration_matrix]

    jobs = None
    if job_durations is not None:
        jobs = [seconds_to_duration(v) for v in job_durations]

    windows = None
    if time_windows is not None:
        windows = []
        for location_windows in time_windows:
            converted = []
            for start, end in location_windows:
                s = unix_to_datetime(start)
                e = unix_to_datetime(end)
                converted.append(make_window(s, e))
            windows.append(converted)

    hours = None
    if operation_times is not None:
        start, end = operation_times
        if start == end or (end - start) % 2**64 == SECONDS_PER_DAY:
            hours = None  # a full day (or nothing) means no daily restriction
        else:
            daily_start = seconds_to_time_of_day(start)
            daily_end = seconds_to_time_of_day(end)
            hours = make_operation_times(daily_start, daily_end)

    # Everything given above is checked even when no scheduler results.
    if durations is None or jobs is None or windows is None:
        return None
    return TimeScheduler(durations, jobs, windows, hours)


# --------------------------------------------------------------------------
# Time windows and operating hours
# --------------------------------------------------------------------------


def next_window(windows, t):
    """(window, wait) for date-time t, or None when no window is left.

    ``windows`` is a list of (start, end) pairs in the caller's order.
    """
    n = len(windows)
    if n == 0:
        return None
    if t > windows[n - 1][1]:
        return None

    base = 0
    size = n
    while size > 1:
        half = size // 2
        mid = base + half
        if windows[mid][0] <= t:
            base = mid
        size = size - half

    if windows[base][0] == t:
        return windows[base], 0
    elif windows[base][0] < t:
        i = base + 1
    else:
        i = 0

    if i == 0:
        return windows[0], windows[0][0] - t
    p = windows[i - 1]
    if p[0] <= t <= p[1]:
        return p, 0
    w = windows[i]
    return w, (w[0] - t if t < w[0] else 0)


def waiting_time(daily_start, daily_end, h):
    """Wait from time of day h until operation resumes."""
    if h < daily_start:
        return daily_start - h
    if h < daily_end:
        return 0
    return daily_start - h + SECONDS_PER_DAY


# --------------------------------------------------------------------------
# Time report and schedule simulation
# --------------------------------------------------------------------------


class TimeReport:
    def __init__(self, events, duration, lateness, working_time, waiting_time,
                 traveling_time, start_time, end_time):
        self.events = events
        self.duration = duration
        self.lateness = lateness
        self.working_time = working_time
        self.waiting_time = waiting_time
        self.traveling_time = traveling_time
        self.start_time = start_time
        self.end_time = end_time

    def extend(self, other):
        self.duration = dur_add(self.duration, other.duration)
        self.lateness = dur_add(self.lateness, other.lateness)
        self.working_time = dur_add(self.working_time, other.working_time)
        self.waiting_time = dur_add(self.waiting_time, other.waiting_time)
        self.traveling_time = dur_add(self.traveling_time,
                                      other.traveling_time)
        self.end_time = other.end_time
        self.events.extend(other.events)

    def totals(self):
        return (self.duration, self.lateness, self.working_time,
                self.waiting_time, self.traveling_time, self.start_time,
                self.end_time)


def action_report(action_duration, location_windows, operation_times, start,
                  is_travel, location, record_events):
    """Place one work or travel action in time.

    Events are tuples: ("work", location, start, end), ("wait", start, end),
    ("travel", start, end).
    """
    remaining = action_duration
    t = start
    pending_wait = 0
    waiting = 0
    lateness = 0
    working = 0
    traveling = 0
    events = []

    while True:
        # 1. Nothing left to do.
        if remaining <= 0:
            break

        # 2. Time windows (work only).
        if location_windows is not None:
            found = next_window(location_windows, t)
            if found is not None:
                window, wait = found
                if wait > 0:
                    pending_wait = dur_add(pending_wait, wait)
                    t = dt_add(t, wait)
                e = dt_add(t, remaining)
                found_at_end = next_window(location_windows, e)
                # No window at the end: the job runs now and is late (even
                # after a wait just taken; no further waiting is added).
                if found_at_end is not None:
                    end_window, end_wait = found_at_end
                    if end_window != window:
                        # Does not fit the window it starts in: push back.
                        skip = dur_add(end_wait, remaining)
                        pending_wait = dur_add(pending_wait, skip)
                        t = dt_add(t, skip)
                        continue

        # 3. Operating hours.
        if operation_times is not None:
            daily_start, daily_end = operation_times
            o = waiting_time(daily_start, daily_end, time_of_day(t))
            if o > 0:
                pending_wait = dur_add(pending_wait, o)
                t = dt_add(t, o)
                continue

        # 4. Settle the wait, merging consecutive waits into one event.
        if pending_wait > 0:
            if record_events:
                events.append(("wait", dt_sub(t, pending_wait), t))
            waiting = dur_add(waiting, pending_wait)
            pending_wait = 0

        # 5. Piece length: cut at closing time.
        step = remaining
        if operation_times is not None:
            daily_start, daily_end = operation_times
            c = daily_end - time_of_day(t)
            if remaining > c:
                step = c

        # 6. Act.
        if is_travel:
            if record_events:
                events.append(("travel", t, dt_add(t, step)))
            traveling = dur_add(traveling, step)
        else:
            if record_events:
                events.append(("work", location, t, dt_add(t, step)))
            working = dur_add(working, step)
            if location_windows is not None and step == remaining:
                f = dt_add(t, step)
                if location_windows and f > location_windows[-1][1]:
                    lateness = dur_add(lateness, f - location_windows[-1][1])

        # 7. Advance.
        t = dt_add(t, step)
        remaining = dur_sub(remaining, step)

    return TimeReport(events, t - start, lateness, working, waiting,
                      traveling, start, t)


def route_schedule(scheduler, route, record_events):
    """The chained TimeReport of work and onward travel for every position."""
    n = len(route)
    first_windows = at(scheduler.time_windows, at(route, 0))
    beginning = at(first_windows, 0)[0]
    report = TimeReport([], 0, 0, 0, 0, 0, beginning, beginning)
    for k in range(n):
        loc = route[k]
        job = at(scheduler.job_durations, loc)
        windows = at(scheduler.time_windows, loc)
        report.extend(action_report(job, windows, scheduler.operation_times,
                                    report.end_time, False, loc,
                                    record_events))
        nxt = route[(k + 1) % n]
        travel = scheduler.travel_duration(loc, nxt)
        report.extend(action_report(travel, None, scheduler.operation_times,
                                    report.end_time, True, None,
                                    record_events))
    return report


# --------------------------------------------------------------------------
# Penalizer
# --------------------------------------------------------------------------


class Penalizer:
    def __init__(self, distance_matrix, time_scheduler):
        self.distance_matrix = distance_matrix
        self.time_scheduler = time_scheduler


class Solution:
    def __init__(self, route, time_report, distance):
        self.route = route
        self.time_report = time_report
        self.distance = distance


def leg_distance(distance_matrix, a, b):
    row = at(distance_matrix, a)
    return at(row, b)


def penalize(penalizer, route, record_events):
    n = len(route)
    first = at(route, 0)
    distance = 0
    for k in range(n - 1):
        distance = (distance + leg_distance(penalizer.distance_matrix,
                                            route[k], route[k + 1])) % 2**64
    distance = (distance + leg_distance(penalizer.distance_matrix,
                                        route[n - 1], first)) % 2**64

    if penalizer.time_scheduler is None:
        return Solution(route, None, distance)
    report = route_schedule(penalizer.time_scheduler, route, record_events)
    return Solution(route, report, distance)


def is_better(penalizer, candidate, reference):
    """Strict order: True only when candidate beats reference."""
    if penalizer.time_scheduler is None:
        return candidate.distance < reference.distance
    c = candidate.time_report
    r = reference.time_report
    keys = [
        (c.lateness, r.lateness),
        (c.traveling_time, r.traveling_time),
        (c.duration, r.duration),
        (c.waiting_time, r.waiting_time),
        (candidate.distance, reference.distance),
    ]
    for mine, theirs in keys:
        if mine != theirs:
            return mine < theirs
    return False


# --------------------------------------------------------------------------
# Local moves
# --------------------------------------------------------------------------


def reverse_segment(route, i, j):
    route[i:j + 1] = route[i:j + 1][::-1]


def swap_pair(route, i, j):
    route[i], route[j] = route[j], route[i]


def _rotate_left(route, i, j, k):
    segment = route[i:j + 1]
    route[i:j + 1] = segment[k:] + segment[:k]


def _rotate_right(route, i, j, k):
    segment = route[i:j + 1]
    route[i:j + 1] = segment[len(segment) - k:] + segment[:len(segment) - k]


def rotate_left_1(route, i, j):
    _rotate_left(route, i, j, 1)


def rotate_left_2(route, i, j):
    _rotate_left(route, i, j, 2)


def rotate_left_3(route, i, j):
    _rotate_left(route, i, j, 3)


def rotate_right_1(route, i, j):
    _rotate_right(route, i, j, 1)


def rotate_right_2(route, i, j):
    _rotate_right(route, i, j, 2)


def rotate_right_3(route, i, j):
    _rotate_right(route, i, j, 3)


# One pass runs these in this order, each with its min_gap.
PASS_TABLE = [
    (reverse_segment, 0),
    (swap_pair, 2),
    (rotate_left_1, 1),
    (rotate_right_1, 1),
    (rotate_left_2, 2),
    (rotate_right_2, 3),
    (rotate_left_3, 4),
    (rotate_right_3, 5),
]


# --------------------------------------------------------------------------
# Search
# --------------------------------------------------------------------------


def run_move(penalizer, current, size, move, min_gap):
    """First-improvement scan of one move over all pairs.

    Returns (improved, current): the scan keeps going after an acceptance,
    with later pairs applied to the route just accepted.
    """
    if size == 0:
        return False, current
    improved = False
    for i in range(size):
        j = i + 1 + min_gap
        while j < size:
            route = list(current.route)
            move(route, i, j)
            candidate = penalize(penalizer, route, False)
            if is_better(penalizer, candidate, current):
                current = candidate
                improved = True
            j += 1
    return improved, current


def run_pass(penalizer, current, size):
    any_improved = False
    for move, min_gap in PASS_TABLE:
        improved, current = run_move(penalizer, current, size, move, min_gap)
        any_improved = any_improved or improved
    return any_improved, current


def _as_unsigned(v):
    # The module reports signed 64-bit values reinterpreted as unsigned.
    return v % 2**64


def solve_model(distance_matrix, duration_matrix=None, job_durations=None,
                time_windows=None, operation_times=None):
    """The result of a solve call without a time limit, as a dict."""
    scheduler = from_arguments(duration_matrix, job_durations, time_windows,
                               operation_times)
    penalizer = Penalizer(distance_matrix, scheduler)
    size = len(distance_matrix)

    current = penalize(penalizer, list(range(size)), False)
    best = current
    iterations = 0

    # A single descent from the identity order.
    iterations += 1
    improved = True
    while improved:
        improved, current = run_pass(penalizer, current, size)
    if is_better(penalizer, current, best):
        best = current

    final = penalize(penalizer, list(best.route), True)

    result = {
        "route": list(final.route),
        "distance": final.distance,
        "iterations": iterations,
    }
    report = final.time_report
    if report is None:
        for key in ("lateness", "duration", "working_time", "waiting_time",
                    "traveling_time", "start_time", "end_time", "schedule"):
            result[key] = None
        return result

    result["lateness"] = _as_unsigned(report.lateness)
    result["duration"] = _as_unsigned(report.duration)
    result["working_time"] = _as_unsigned(report.working_time)
    result["waiting_time"] = _as_unsigned(report.waiting_time)
    result["traveling_time"] = _as_unsigned(report.traveling_time)
    result["start_time"] = _as_unsigned(report.start_time)
    result["end_time"] = _as_unsigned(report.end_time)
    schedule = []
    for event in report.events:
        if event[0] == "work":
            schedule.append(("work", event[1], _as_unsigned(event[2]),
                             _as_unsigned(event[3])))
        else:
            schedule.append((event[0], _as_unsigned(event[1]),
                             _as_unsigned(event[2])))
    result["schedule"] = schedule
    return result
