"""No reference or memory leak on any path, successful or failing.

- Reference counts of every object handed to the module are unchanged after
  many calls, whether the call succeeds, is refused or fails inside.
- The module's classes are released by their instances: their reference
  counts come back after many results and events were made and dropped.
- 100,000 calls of the mix in call_mix keep the memory traced by tracemalloc
  and the process's resident set flat once the first calls have warmed up
  the interpreter's caches.
"""

import gc
import os
import sys
import tracemalloc

import pytest

import call_mix
from tourwright import solve

SANITIZED = os.environ.get("TOURWRIGHT_SANITIZED") == "1"
H = 3600
BIG = 10**20  # distinct int objects, unlike the interpreter's shared small ints


class Boom(Exception):
    pass


class Index:
    def __init__(self, value):
        self.value = value

    def __index__(self):
        return self.value


class RaisingIndex:
    def __index__(self):
        raise Boom("fresh each time, so no cycle keeps this object alive")


class RaisingTypeError:
    def __index__(self):
        raise TypeError("renamed by the module") from KeyError("kept as the cause")


class RaisingSequence:
    def __getitem__(self, index):
        if index == 2:
            raise Boom("third item")
        return [index]


def reachable(value):
    """The objects of an argument whose reference counts can be watched."""
    if value is None or isinstance(value, bool) or (type(value) is int and value < 2**30):
        return []
    found = [value]
    if isinstance(value, (list, tuple)):
        for item in value:
            found += reachable(item)
    return found


def windows(n):
    return [[(BIG % 2**40, BIG % 2**40 + 10 * H)] for _ in range(n)]


CALLS = [
    ("distance only", lambda: ([[0, BIG], [BIG, 0]],), {}),
    ("tuples and index objects", lambda: (((0, Index(3)), (Index(4), 0)),), {}),
    ("time data", lambda: ([[0, 5], [5, 0]], [[0, H], [H, 0]], [H, H], windows(2),
                           (8 * H, 17 * H)), {}),
    ("keywords", lambda: (), {"distance_matrix": [[0, 1], [1, 0]], "time_limit": 0}),
    ("str refused", lambda: (["ab"],), {}),
    ("negative refused", lambda: ([[0, -BIG]],), {}),
    ("pair refused", lambda: ([[0]],), {"operation_times": [1, 2]}),
    ("caller raises", lambda: ([[0, RaisingIndex()]],), {}),
    ("caller raises TypeError", lambda: ([[0, RaisingTypeError()]],), {}),
    ("sequence raises", lambda: (RaisingSequence(),), {}),
    ("unknown keyword", lambda: ([[0]],), {"bogus": [BIG]}),
    ("internal failure", lambda: ([[0, 1, 2], [1], [2, 1, 0]],), {}),
    ("windows reversed", lambda: ([[0]], [[0]], [1], [[(BIG % 2**40 + 1, BIG % 2**40)]]), {}),
    ("limit out of range", lambda: ([[0]],), {"time_limit": 2**63 + BIG}),
]


@pytest.mark.parametrize("make", [case[1:] for case in CALLS], ids=[case[0] for case in CALLS])
def test_arguments_keep_their_reference_counts(make):
    make_args, keywords = make
    args = make_args()
    watched = reachable(list(args)) + reachable(list(keywords.values()))
    assert watched, "nothing to watch"
    gc.collect()
    before = [sys.getrefcount(item) for item in watched]
    for _ in range(200):
        try:
            solve(*args, **keywords)
        except BaseException:  # noqa: B902 - every outcome must leave the counts alone
            pass
    gc.collect()
    assert [sys.getrefcount(item) for item in watched] == before


@pytest.fixture(scope="module")
def schedule():
    return solve([[0]], [[H]], [10 * H], [[(8 * H, 40 * H)]], (8 * H, 17 * H)).schedule


def construct_and_index(event, payload, indices):
    for _ in range(200):
        type(event)(payload)
        type(event)(_0=payload)
        for index in indices:
            try:
                event[index]
            except BaseException:  # noqa: B902 - every outcome must leave the counts alone
                pass


def test_event_constructors_and_item_access_keep_reference_counts(schedule):
    indices = [Index(0), Index(1), Index(-1), BIG, -BIG, str(BIG), RaisingIndex()]
    for event in schedule:
        payload = event._0
        watched = [payload, *indices]
        before = [sys.getrefcount(item) for item in watched]
        construct_and_index(event, payload, indices)
        gc.collect()
        assert [sys.getrefcount(item) for item in watched] == before


def test_classes_are_released_by_their_instances(schedule):
    event = schedule[0]
    classes = [type(solve([[0]])), type(event), type(event).__base__, type(event._0)]
    gc.collect()
    before = [sys.getrefcount(cls) for cls in classes]
    for _ in range(500):
        out = solve([[0]], [[H]], [10 * H], [[(8 * H, 40 * H)]], (8 * H, 17 * H))
        events = out.schedule
        payloads = [e._0 for e in events] + [e[0] for e in events]
        copies = [type(e)(p) for e, p in zip(events, payloads)]
        del out, events, payloads, copies
    gc.collect()
    assert [sys.getrefcount(cls) for cls in classes] == before


def resident_bytes():
    with open("/proc/self/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) * 1024
    raise AssertionError("no VmRSS")


CALLS_PER_RUN = 100_000
# Measured growth after warm-up: about 0.1 MiB of RSS and a few hundred bytes
# traced; a result or an event leaked per solve shows several MiB and tens of
# KiB respectively.
RSS_GROWTH_LIMIT = 1 << 20
TRACED_GROWTH_LIMIT = 16 << 10


@pytest.mark.skipif(SANITIZED, reason="ASan's allocator keeps freed memory in quarantine")
def test_many_mixed_calls_keep_resident_memory_flat():
    call_mix.run(20_000)  # warm-up: classes, caches and free lists fill up once
    gc.collect()
    before = resident_bytes()
    made = call_mix.run(CALLS_PER_RUN)
    gc.collect()
    assert made >= CALLS_PER_RUN
    assert resident_bytes() - before < RSS_GROWTH_LIMIT


@pytest.mark.skipif(SANITIZED, reason="too slow to repeat under the sanitizers")
def test_many_mixed_calls_keep_traced_memory_flat():
    tracemalloc.start()
    try:
        call_mix.run(5_000)
        gc.collect()
        before = tracemalloc.get_traced_memory()[0]
        made = call_mix.run(CALLS_PER_RUN)
        gc.collect()
        growth = tracemalloc.get_traced_memory()[0] - before
    finally:
        tracemalloc.stop()
    assert made >= CALLS_PER_RUN
    assert growth < TRACED_GROWTH_LIMIT
