"""A mix of module calls that together walk every path through the bindings:
successful solves with and without time data (reading every attribute and
the whole schedule), every kind of argument error, internal failures, event
construction and item access, and failures raised by the caller's own objects.

Shared by the leak tests and the valgrind session, which repeat it many
times and watch memory; each call swallows the exception it expects and
returns nothing.
"""

import tourwright

H = 3600
DAY = 19_723 * 86_400  # 2024-01-01T00:00:00Z
MATRIX = [[0, 4, 9, 3], [4, 0, 5, 8], [9, 5, 0, 2], [3, 8, 2, 0]]
TIME_DATA = dict(
    duration_matrix=[[0, H, 2 * H, H], [H, 0, H, 2 * H], [2 * H, H, 0, H], [H, 2 * H, H, 0]],
    job_durations=[H, 2 * H, 3 * H, H],
    time_windows=[[(DAY + 8 * H, DAY + 30 * H)],
                  [(DAY + 9 * H, DAY + 12 * H), (DAY + 14 * H, DAY + 17 * H)],
                  [(DAY + 8 * H, DAY + 11 * H)], [(DAY, DAY + 40 * H)]],
    operation_times=(8 * H, 17 * H),
)


class Boom(Exception):
    pass


class RaisingIndex:
    def __index__(self):
        raise Boom("from __index__")


class FailingSequence:
    def __len__(self):
        raise Boom("from __len__")  # discarded: the length is only a hint

    def __getitem__(self, index):
        if index == 1:
            raise Boom("from __getitem__")
        return [0]


calls_made = 0  # module calls (solve, class calls, item access) made so far


def _call(function, *args, **kwargs):
    global calls_made
    calls_made += 1
    return function(*args, **kwargs)


def _expect(error_type, function, *args, **kwargs):
    try:
        _call(function, *args, **kwargs)
    except error_type:
        return
    raise AssertionError(f"{function.__name__}{args} did not raise {error_type.__name__}")


def _read_everything(out):
    values = [out.distance, out.route, out.lateness, out.duration, out.working_time,
              out.waiting_time, out.traveling_time, out.start_time, out.end_time,
              out.iterations, out.time_taken_microseconds]
    for event in out.schedule or ():
        payload = event._0
        values += [payload.window, getattr(payload, "location", None), _call(event.__getitem__, 0),
                   len(event), list(event)]
    return values


_PANIC = BaseException  # the internal-failure class is not a module attribute


def solve_distance_only():
    _read_everything(_call(tourwright.solve, MATRIX))


def solve_with_time_data():
    _read_everything(_call(tourwright.solve, MATRIX, **TIME_DATA))


def solve_with_zero_limit():
    _read_everything(_call(tourwright.solve, MATRIX, **TIME_DATA, time_limit=0))


def binding_errors():
    _expect(TypeError, tourwright.solve)
    _expect(TypeError, tourwright.solve, MATRIX, foo=1)
    _expect(TypeError, tourwright.solve, MATRIX, distance_matrix=MATRIX)
    _expect(TypeError, tourwright.solve, MATRIX, None, None, None, None, None, None)


def extraction_errors():
    _expect(TypeError, tourwright.solve, "ab")
    _expect(TypeError, tourwright.solve, None)
    _expect(TypeError, tourwright.solve, [[0, 1.5]])
    _expect(OverflowError, tourwright.solve, [[0, -1]])
    _expect(OverflowError, tourwright.solve, [[2**64]])
    _expect(TypeError, tourwright.solve, MATRIX, time_windows=[[[0, 1]]])
    _expect(ValueError, tourwright.solve, MATRIX, operation_times=(1, 2, 3))
    _expect(TypeError, tourwright.solve, MATRIX, time_limit=[1])


def errors_from_caller_objects():
    _expect(Boom, tourwright.solve, [[0, RaisingIndex()]])
    _expect(Boom, tourwright.solve, FailingSequence())
    _expect(TypeError, tourwright.solve, [(row for row in MATRIX)])


def internal_failures():
    _expect(_PANIC, tourwright.solve, [])
    _expect(_PANIC, tourwright.solve, [[0, 1, 2], [1], [2, 1, 0]])
    _expect(_PANIC, tourwright.solve, MATRIX, **dict(TIME_DATA, time_windows=[[(5, 4)]]))
    _expect(_PANIC, tourwright.solve, MATRIX, operation_times=(72_000, 7_200))
    _expect(_PANIC, tourwright.solve, MATRIX, time_limit=2**63)
    _expect(_PANIC, tourwright.solve, [[0]], [[0]], [2**53], [[(DAY, DAY)]])


def event_classes():
    out = _call(tourwright.solve, MATRIX, **TIME_DATA)
    for event in out.schedule:
        kind = type(event)
        copy = _call(kind, event._0)
        copy = _call(kind, _0=_call(copy.__getitem__, 0))
        _expect(IndexError, copy.__getitem__, 1)
        _expect(OverflowError, copy.__getitem__, -1)
        _expect(TypeError, copy.__getitem__, "0")
        _expect(TypeError, kind, 5)
        _expect(TypeError, kind)
        _expect(TypeError, kind, event._0, event._0)
        _expect(TypeError, kind, event._0, _0=event._0)
        _expect(TypeError, type(event._0))
        _expect(AttributeError, setattr, event, "x", 1)
    _expect(TypeError, tourwright.PyOutput)


CALLS = [
    solve_distance_only,
    solve_with_time_data,
    solve_with_zero_limit,
    binding_errors,
    extraction_errors,
    errors_from_caller_objects,
    internal_failures,
    event_classes,
]


def run(calls):
    """Runs the whole mix over and over until at least `calls` module calls
    were made; returns how many were."""
    start = calls_made
    while calls_made - start < calls:
        for group in CALLS:
            group()
    return calls_made - start


if __name__ == "__main__":
    # The session scripts/valgrind-session runs under memcheck: the whole mix,
    # repeated, then a clean exit.
    import sys

    made = run(int(sys.argv[1]) if len(sys.argv) > 1 else 5_000)
    print(f"valgrind session: {made} module calls")
