"""Hypothesis strategies for hostile Python values.

A strategy here draws a ``Recipe``, not the value itself: many hostile
objects keep state (a sequence that grows while it is read, an iterator that
fails on its third item), so each use builds a fresh value from the recipe.
The recipe's repr says what it builds, which is what Hypothesis prints for a
failing example.
"""

import array
import functools
from decimal import Decimal
from fractions import Fraction

import numpy as np
from hypothesis import strategies as st

import extraction_model

U64_MAX = 2**64 - 1
MAX_SECONDS = 9_223_372_036_854_775  # the largest duration or time limit in seconds


class Recipe:
    def __init__(self, label, build):
        self.label = label
        self._build = build

    def build(self):
        return self._build()

    def __repr__(self):
        return self.label


def plain(value):
    """A recipe for a value that is never changed, so it can be shared."""
    return Recipe(repr(value), lambda: value)


def build_all(recipes):
    return [recipe.build() for recipe in recipes]


# ---- hostile objects --------------------------------------------------------


class Boom(Exception):
    """Raised by hostile objects; must come out of solve() unchanged."""


class BoomBase(BaseException):
    """Like Boom, but not an Exception."""


class TypeErrorSubclass(TypeError):
    """A TypeError subclass must pass through without the argument name."""


class StrSubclass(str):
    pass


class TupleSubclass(tuple):
    pass


class IntLiar(int):
    """An int whose conversions all lie; its int value is what counts."""

    def __index__(self):
        return 0

    def __int__(self):
        return 0

    def __eq__(self, other):
        return True

    __hash__ = int.__hash__


class TupleLiar(tuple):
    """A tuple whose Python-level length, items and iteration lie."""

    def __len__(self):
        return 2

    def __getitem__(self, index):
        return 0

    def __iter__(self):
        return iter((0, 0))


class Index:
    """An object with __index__ returning (or raising) whatever it was given."""

    def __init__(self, result=None, raises=None):
        self.result = result
        self.raises = raises

    def __index__(self):
        if self.raises is not None:
            raise self.raises
        return self.result


class ClassLiar:
    """Claims, through __class__, to be of a type it is not."""

    def __init__(self, claimed):
        self.claimed = claimed

    @property
    def __class__(self):
        return self.claimed


class LyingLength:
    """A sequence read through __getitem__, whose __len__ lies or raises."""

    def __init__(self, items, length):
        self.items = items
        self.length = length

    def __len__(self):
        if isinstance(self.length, BaseException):
            raise self.length
        return self.length

    def __getitem__(self, index):
        return self.items[index]  # IndexError past the end ends the iteration


class FailingItem:
    """A sequence whose item `at` raises `error` (IndexError just shortens it)."""

    def __init__(self, items, at, error):
        self.items = items
        self.at = at
        self.error = error

    def __len__(self):
        return len(self.items)

    def __getitem__(self, index):
        if index == self.at:
            raise self.error
        return self.items[index]


class FailingIterator:
    """A sequence whose iterator raises `error` after `at` items."""

    def __init__(self, items, at, error):
        self.items = items
        self.at = at
        self.error = error

    def __len__(self):
        return len(self.items)

    def __getitem__(self, index):
        return self.items[index]

    def __iter__(self):
        yield from self.items[: self.at]
        raise self.error


class NonIteratorIter:
    """A sequence whose __iter__ returns something that is not an iterator."""

    def __len__(self):
        return 1

    def __getitem__(self, index):
        return 0

    def __iter__(self):
        return 5


class OnlyIterable:
    """Iterable but not a sequence (no __getitem__)."""

    def __iter__(self):
        return iter([0])


class Mutator:
    """An item whose conversion changes the list holding it, a few times at most."""

    def __init__(self, holder, action, value):
        self.holder = holder
        self.action = action
        self.value = value
        self.left = 3

    def _mutate(self):
        if self.left == 0:
            return
        self.left -= 1
        if self.action == "append":
            self.holder.append(self.value)
        elif self.action == "clear":
            self.holder.clear()
        elif self.action == "pop" and self.holder:
            self.holder.pop()
        elif self.action == "insert":
            self.holder.insert(0, self.value)

    def __index__(self):
        self._mutate()
        return 1

    # As a row, it is a sequence that mutates its matrix when iterated.
    def __len__(self):
        return 1

    def __getitem__(self, index):
        if index > 0:
            raise IndexError(index)
        return 1

    def __iter__(self):
        self._mutate()
        return iter([1])


class Outer:
    class Inner:
        """A type whose qualified name has a dot in it."""


# ---- integer positions -------------------------------------------------------

BOUNDARY_INTS = [0, 1, 2, 255, 86_400, MAX_SECONDS, MAX_SECONDS + 1, 2**63 - 1, 2**63,
                 U64_MAX, 2**64, -1, -(2**63), 10**30]

RAISED = [
    lambda: TypeError("no index here"),
    lambda: TypeErrorSubclass("a subclass"),
    lambda: ValueError("bad value"),
    lambda: OverflowError("too big"),
    lambda: Boom("boom"),
    lambda: BoomBase("boom base"),
    lambda: KeyboardInterrupt(),
    lambda: MemoryError(),
]


class Raise:
    """Makes a fresh exception of RAISED[index], possibly chained to a cause."""

    def __init__(self, index, chained):
        self.index = index
        self.chained = chained

    def __call__(self):
        error = RAISED[self.index]()
        if self.chained:
            error.__cause__ = KeyError("the cause")
        return error

    def __repr__(self):
        return f"Raise({self.index}, chained={self.chained})"


def raised():
    return st.builds(Raise, st.integers(0, len(RAISED) - 1), st.booleans())


def integers(safe_for_time_limit, low=-(2**70), high=2**70):
    """Plain Python integers in low .. high. For a time limit only those that
    cannot make a search run: zero, negative, or beyond the largest limit."""
    def within(values):
        return [v for v in values if low <= v <= high]

    if safe_for_time_limit:
        return st.one_of(st.sampled_from(within([0, -1, MAX_SECONDS + 1, 2**63, U64_MAX])),
                         st.integers(max(low, MAX_SECONDS + 1), high),
                         st.integers(low, -1) if low < 0 else st.just(0))
    return st.one_of(st.integers(max(low, 0), min(high, 50)), st.integers(low, high),
                     st.sampled_from(within(BOUNDARY_INTS)))


def not_integers():
    """Values the integer rule refuses, whatever their kind."""
    return st.sampled_from([
        1.5, 0.0, float("nan"), "3", StrSubclass("3"), b"1", None, 3j, Fraction(1, 1),
        Decimal(1), [], (), {}, object(), np.float64(1.0), np.float32(2.0), np.array([1, 2]),
        np.str_("4"), ClassLiar(int), Outer.Inner(), array.array("q", [1]),
    ]).map(plain)


def _int_liar(n):
    return Recipe(f"IntLiar({n})", lambda: IntLiar(n))


def _index_of(n):
    return Recipe(f"Index({n})", lambda: Index(n))


def _numpy_unsigned(n):
    return Recipe(f"np.uint64({n})", lambda: np.uint64(n))


def _numpy_zero_dim(n):
    return Recipe(f"np.array({n}, dtype=uint64)", lambda: np.array(n, dtype=np.uint64))


def _numpy_signed(n):
    return Recipe(f"np.int64({n})", lambda: np.int64(n))


def _index_returning(result):
    return Recipe(f"Index(returns {result!r})", lambda: Index(result))


def _index_returning_liar(n):
    return Recipe(f"Index(returns IntLiar({n}))", lambda: Index(IntLiar(n)))


def _index_raising(make):
    return Recipe(f"Index(raises {make!r})", lambda: Index(raises=make()))


def integer_recipes(safe_for_time_limit=False):
    """Anything that may stand where solve() reads one number."""
    numbers = integers(safe_for_time_limit)
    unsigned = integers(safe_for_time_limit, 0, U64_MAX)
    signed = integers(safe_for_time_limit, -(2**63), 2**63 - 1)
    small_bool = st.just(False) if safe_for_time_limit else st.booleans()
    return st.one_of(
        numbers.map(plain),
        small_bool.map(plain),
        numbers.map(_int_liar),
        numbers.map(_index_of),
        unsigned.map(_numpy_unsigned),
        unsigned.map(_numpy_zero_dim),
        signed.map(_numpy_signed),
        st.sampled_from([1.5, "x", None, StrSubclass("7")]).map(_index_returning),
        numbers.map(_index_returning_liar),
        raised().map(_index_raising),
        not_integers(),
    )


# ---- list positions ----------------------------------------------------------


def _label(name, recipes):
    return f"{name}{recipes!r}"


def _as_list(recipes):
    return Recipe(_label("list", recipes), lambda: build_all(recipes))


def _as_tuple(recipes):
    return Recipe(_label("tuple", recipes), lambda: tuple(build_all(recipes)))


def _as_tuple_subclass(recipes):
    return Recipe(_label("TupleSubclass", recipes), lambda: TupleSubclass(build_all(recipes)))


def _as_lying_length(drawn):
    recipes, length = drawn
    return Recipe(_label(f"LyingLength[{length!r}]", recipes),
                  lambda: LyingLength(build_all(recipes), length))


def _as_failing_item(drawn):
    recipes, at, make, index_error = drawn
    return Recipe(_label(f"FailingItem[at {at}]", recipes),
                  lambda: FailingItem(build_all(recipes), at,
                                      IndexError(at) if index_error else make()))


def _as_failing_iterator(drawn):
    recipes, at, make = drawn
    return Recipe(_label(f"FailingIterator[at {at}]", recipes),
                  lambda: FailingIterator(build_all(recipes), at, make()))


def _as_generator(recipes):
    return Recipe(_label("generator", recipes), lambda: (x for x in build_all(recipes)))


def _as_iterator(recipes):
    return Recipe(_label("iterator", recipes), lambda: iter(build_all(recipes)))


def _as_mutating(drawn):
    recipes, action, position = drawn
    return Recipe(_label(f"Mutating[{action} at {position}]", recipes),
                  lambda: _mutating(build_all(recipes), action, position))


NOT_LISTS = [
    "ab", StrSubclass("ab"), np.str_("ab"), None, 5, 1.5, {0: 1}, {1, 2}, frozenset(),
    object(), OnlyIterable(), NonIteratorIter(), ClassLiar(list), ClassLiar(tuple),
    Outer.Inner(), range(3), b"\x00\x01", bytearray(b"\x02"), memoryview(b"\x03\x04"),
    memoryview(array.array("d", [1.0])), array.array("Q", [1, 2]), np.array(5),
    np.array([1, 2]), np.array([[1, 2], [3, 4]]), np.array([1.0]), np.array(["a"]),
    np.array([1, 2], dtype=object),
]


def _containers(item_recipes):
    """Everything that may stand where solve() reads a list, holding `item_recipes`."""
    items = st.lists(item_recipes, max_size=4)
    lengths = st.sampled_from([2**62, -1, 2**100, 1.5, 0, Boom("len"), TypeError("len"),
                               BoomBase("len"), KeyboardInterrupt()])
    # Plain lists and tuples are drawn more often, so that more values get
    # through extraction and on to the comparison with plain input.
    return st.one_of(
        items.map(_as_list),
        items.map(_as_list),
        items.map(_as_list),
        items.map(_as_tuple),
        items.map(_as_tuple_subclass),
        st.tuples(items, lengths).map(_as_lying_length),
        st.tuples(items, st.integers(0, 4), raised(), st.booleans()).map(_as_failing_item),
        st.tuples(items, st.integers(0, 4), raised()).map(_as_failing_iterator),
        items.map(_as_generator),
        items.map(_as_iterator),
        st.tuples(items, st.sampled_from(["append", "clear", "pop", "insert"]),
                  st.integers(0, 4)).map(_as_mutating),
        # By index: Hypothesis hashes sampled values, and hashing a memoryview
        # of doubles raises ValueError rather than TypeError.
        st.sampled_from(range(len(NOT_LISTS))).map(NOT_LISTS.__getitem__).map(plain),
    )


def _mutating(items, action, position):
    """A list with a Mutator inserted that changes this very list while it is read."""
    holder = list(items)
    holder.insert(min(position, len(holder)), Mutator(holder, action, 1))
    return holder


def list_recipes(item_recipes):
    return _containers(item_recipes)


# ---- pair positions ----------------------------------------------------------


def _as_pair(drawn):
    first, second = drawn
    return Recipe(f"({first!r}, {second!r})", lambda: (first.build(), second.build()))


def _as_pair_subclass(drawn):
    first, second = drawn
    return Recipe(f"TupleSubclass({first!r}, {second!r})",
                  lambda: TupleSubclass((first.build(), second.build())))


def _as_pair_list(drawn):
    first, second = drawn
    return Recipe(f"[{first!r}, {second!r}]", lambda: [first.build(), second.build()])


def _as_tuple_liar(recipes):
    return Recipe(_label("TupleLiar", recipes), lambda: TupleLiar(build_all(recipes)))


def pair_recipes(number_recipes):
    two = st.tuples(number_recipes, number_recipes)
    any_length = st.lists(number_recipes, max_size=4)
    return st.one_of(
        two.map(_as_pair),
        two.map(_as_pair),
        two.map(_as_pair),
        two.map(_as_pair_subclass),
        two.map(_as_pair_list),
        any_length.map(_as_tuple),
        any_length.map(_as_tuple_liar),
        st.sampled_from([None, 3, "ab", ClassLiar(tuple), np.array([1, 2]), range(2),
                         {1: 2}]).map(plain),
    )


# ---- whole parameters --------------------------------------------------------

# Plain values that keep a run quick: small non-negative numbers.
small = st.integers(0, 5).map(plain)
hours_scale = st.integers(0, 4 * 3600).map(plain)
instants = st.integers(0, 3 * 86_400).map(plain)


def _cannot_start_a_timed_search(recipe):
    """A time limit of 1 .. MAX_SECONDS would make the test wait that long."""
    try:
        seconds = extraction_model.extract_u64(recipe.build())
    except BaseException:  # noqa: B902 - refused values cannot start a search
        return True
    return not 0 < seconds <= MAX_SECONDS


@functools.cache
def parameter_recipes(name):
    """Hostile recipes for one parameter of solve(); mostly the right shape,
    with hostile values at any depth."""
    number = st.one_of(small, small, integer_recipes())
    if name in ("distance_matrix", "duration_matrix"):
        return list_recipes(list_recipes(number))
    if name == "job_durations":
        return list_recipes(number)
    if name == "time_windows":
        return list_recipes(list_recipes(pair_recipes(st.one_of(instants, instants,
                                                                integer_recipes()))))
    if name == "operation_times":
        return pair_recipes(st.one_of(hours_scale, hours_scale, integer_recipes()))
    if name == "time_limit":
        return st.one_of(integer_recipes(safe_for_time_limit=True), list_recipes(small),
                         pair_recipes(small)).filter(_cannot_start_a_timed_search)
    raise ValueError(name)


@functools.cache
def anything():
    """Any hostile value at all, for constructors and item access."""
    return st.one_of(integer_recipes(), list_recipes(small), pair_recipes(small))
