"""Binding and extraction of solve's arguments: exact exception types and messages."""

import numpy as np
import pytest

from tourwright import solve

M = [[0, 1], [1, 0]]
PREFIX_DM = "argument 'distance_matrix': "


class NotASequence:
    pass


class BadIndex:
    def __index__(self):
        raise TypeError("no index here")


class StrSubclass(str):
    pass


def args(*positional, **keywords):
    return positional, keywords


ERRORS = [
    # binding
    ("seven positionals", args(M, None, None, None, None, None, None), TypeError,
     "solve() takes from 1 to 6 positional arguments but 7 were given"),
    ("unknown keyword", args(M, foo=1), TypeError,
     "solve() got an unexpected keyword argument 'foo'"),
    ("positional and keyword", args(M, distance_matrix=M), TypeError,
     "solve() got multiple values for argument 'distance_matrix'"),
    ("later positional and keyword", args(M, None, None, None, None, 5, time_limit=3), TypeError,
     "solve() got multiple values for argument 'time_limit'"),
    ("missing", args(), TypeError,
     "solve() missing 1 required positional argument: 'distance_matrix'"),
    ("missing with keywords", args(time_limit=1), TypeError,
     "solve() missing 1 required positional argument: 'distance_matrix'"),
    # list rule
    ("str matrix", args("ab"), TypeError, PREFIX_DM + "Can't extract `str` to `Vec`"),
    ("str row", args(["ab"]), TypeError, PREFIX_DM + "Can't extract `str` to `Vec`"),
    ("str subclass row", args([StrSubclass("ab")]), TypeError,
     PREFIX_DM + "Can't extract `str` to `Vec`"),
    ("None matrix", args(None), TypeError,
     PREFIX_DM + "'NoneType' object cannot be converted to 'Sequence'"),
    ("set matrix", args({1}), TypeError, PREFIX_DM + "'set' object cannot be converted to 'Sequence'"),
    ("dict row", args([{0: 1}]), TypeError,
     PREFIX_DM + "'dict' object cannot be converted to 'Sequence'"),
    ("generator", args(row for row in M), TypeError,
     PREFIX_DM + "'generator' object cannot be converted to 'Sequence'"),
    ("qualified type name", args([NotASequence()]), TypeError,
     PREFIX_DM + "'NotASequence' object cannot be converted to 'Sequence'"),
    ("job durations str", args(M, job_durations="12"), TypeError,
     "argument 'job_durations': Can't extract `str` to `Vec`"),
    ("windows str level", args(M, time_windows=["x"]), TypeError,
     "argument 'time_windows': Can't extract `str` to `Vec`"),
    # pair rule
    ("window as list", args(M, time_windows=[[[0, 10]]]), TypeError,
     "argument 'time_windows': 'list' object cannot be converted to 'PyTuple'"),
    ("hours as list", args(M, operation_times=[1, 2]), TypeError,
     "argument 'operation_times': 'list' object cannot be converted to 'PyTuple'"),
    ("hours triple", args(M, operation_times=(1, 2, 3)), ValueError,
     "expected tuple of length 2, but got tuple of length 3"),
    ("window single", args(M, time_windows=[[(1,)]]), ValueError,
     "expected tuple of length 2, but got tuple of length 1"),
    # integer rule
    ("float limit", args(M, time_limit=1.5), TypeError,
     "argument 'time_limit': 'float' object cannot be interpreted as an integer"),
    ("str entry", args([["0"]]), TypeError,
     PREFIX_DM + "'str' object cannot be interpreted as an integer"),
    ("index raising TypeError", args([[BadIndex()]]), TypeError, PREFIX_DM + "no index here"),
    ("negative limit", args(M, time_limit=-1), OverflowError, "can't convert negative int to unsigned"),
    ("limit 2**64", args(M, time_limit=2**64), OverflowError, "int too big to convert"),
    ("negative distance", args([[-1]]), OverflowError, "can't convert negative int to unsigned"),
    ("negative window end", args(M, time_windows=[[(0, -1)]]), OverflowError,
     "can't convert negative int to unsigned"),
    # the first failing parameter wins
    ("bad matrix and bad limit", args("ab", time_limit=1.5), TypeError,
     PREFIX_DM + "Can't extract `str` to `Vec`"),
    ("bad durations before bad windows", args(M, [["x"]], None, "y"), TypeError,
     "argument 'duration_matrix': 'str' object cannot be interpreted as an integer"),
]


@pytest.mark.parametrize("call, error, message", [case[1:] for case in ERRORS],
                         ids=[case[0] for case in ERRORS])
def test_binding_and_extraction_errors(call, error, message):
    positional, keywords = call
    with pytest.raises(BaseException) as raised:
        solve(*positional, **keywords)
    assert type(raised.value) is error
    assert str(raised.value) == message


def test_renamed_type_error_keeps_the_original_cause():
    original_cause = KeyError("root")

    class Chained:
        def __index__(self):
            raise TypeError("inner") from original_cause

    with pytest.raises(TypeError) as raised:
        solve([[Chained()]])
    assert str(raised.value) == PREFIX_DM + "inner"
    assert raised.value.__cause__ is original_cause


def test_type_error_subclasses_pass_unchanged():
    class Special(TypeError):
        pass

    class Raises:
        def __index__(self):
            raise Special("special")

    with pytest.raises(Special, match="^special$"):
        solve([[Raises()]])


def test_non_type_errors_from_iteration_pass_unchanged():
    class Exploding:
        def __len__(self):
            return 1

        def __getitem__(self, index):
            raise KeyError("boom")

    with pytest.raises(KeyError):
        solve(Exploding())


@pytest.mark.parametrize("call", [
    args([[0]]),
    args(distance_matrix=[[0]]),
    args([[0]], None, None, None, None, None),
    args([[0]], duration_matrix=None, job_durations=None, time_windows=None,
         operation_times=None, time_limit=None),
])
def test_spellings_of_the_same_call_agree(call):
    positional, keywords = call
    out = solve(*positional, **keywords)
    assert (out.route, out.distance, out.iterations) == ([0], 0, 1)


@pytest.mark.parametrize("matrix", [
    ((0, 3, 4), (3, 0, 5), (4, 5, 0)),
    [range(0, 3), range(1, 4), range(2, 5)],
    [b"\x00\x03\x04", b"\x03\x00\x05", b"\x04\x05\x00"],
    [[True, 2, 3], [2, False, 3], [3, 3, 0]],
])
def test_any_sequence_of_integers_is_accepted(matrix):
    out = solve(matrix)
    assert sorted(out.route) == [0, 1, 2]


def test_integers_reach_the_full_unsigned_range_and_index_objects_work():
    class Seven:
        def __index__(self):
            return 7

    out = solve([[2**64 - 1]])
    assert out.distance == 2**64 - 1
    assert solve([[Seven()]]).distance == 7


def test_lying_length_is_only_a_hint():
    class Liar(list):
        def __len__(self):
            return 2**60

    assert solve(Liar([[0, 1], [1, 0]])).distance == 2


def test_windows_accept_tuple_subclasses():
    class Pair(tuple):
        pass

    out = solve([[0]], [[0]], [1], [[Pair((0, 10))]])
    assert out.lateness == 0


# NumPy integer arrays are read from their memory; the result and every
# failure must be those of the generic path, which reads the same items one
# by one (here: lists of the array's own items, read in Python).
class RowsOverridden(np.ndarray):
    def __iter__(self):
        return iter([np.asarray([7, 7, 7])] * len(self))


def _items(array):
    return [list(row) for row in array] if array.ndim == 2 else list(array)


def _outcome(call):
    try:
        out = call()
        return out.route, out.distance, out.traveling_time, out.lateness
    except BaseException as failure:  # the module's own failure class included
        if isinstance(failure, KeyboardInterrupt):
            raise
        return type(failure), str(failure)


_SQUARE = np.array([[0, 3, 4], [3, 0, 5], [4, 5, 0]])
_ARRAYS = {
    **{dtype: _SQUARE.astype(dtype) for dtype in
       ["int8", "uint8", "int16", "uint16", "int32", "uint32", "int64", "uint64", ">i8", "?"]},
    "largest-uint64": np.array([[0, 2**64 - 1, 1], [1, 0, 1], [1, 1, 0]], dtype=np.uint64),
    "fortran-order": np.asfortranarray(_SQUARE),
    "strided-view": np.arange(36).reshape(6, 6)[::2, ::2],
    "transposed": (_SQUARE * [[1], [2], [3]]).T,
    "broadcast": np.broadcast_to(np.arange(3), (3, 3)),
    "negative": np.array([[0, -1, 1], [1, 0, 1], [1, 1, 0]]),
    "float": _SQUARE.astype(float),
    "object": _SQUARE.astype(object),
    "one-dimensional": np.arange(3),
    "subclass": _SQUARE.view(RowsOverridden),
}


@pytest.mark.parametrize("name", list(_ARRAYS))
def test_numpy_arrays_read_like_their_items(name):
    array = _ARRAYS[name]
    assert _outcome(lambda: solve(array)) == _outcome(lambda: solve(_items(array)))
    # As travel times and as job durations too (three locations, one window each).
    windows = [[(0, 100)]] * 3
    as_times = _outcome(lambda: solve(_SQUARE, array, [1, 1, 1], windows))
    assert as_times == _outcome(lambda: solve(_SQUARE, _items(array), [1, 1, 1], windows))
    if array.ndim == 2:
        jobs = array[0]
        assert (_outcome(lambda: solve(_SQUARE, _SQUARE, jobs, windows))
                == _outcome(lambda: solve(_SQUARE, _SQUARE, list(jobs), windows)))
