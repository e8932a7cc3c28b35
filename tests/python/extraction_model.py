"""A pure-Python twin of how solve() and the event classes read Python values.

It walks a value through the same interpreter protocols the module uses
(the sequence check, iteration, ``__index__``) and raises what the module
must raise, so a test can hand the same hostile value to both and compare.
Every check looks at the real type of a value, never at a ``__class__`` that
an object may fake, just as the module's C-level checks do.
"""

import ctypes
import operator

_sequence_check = ctypes.pythonapi.PySequence_Check
_sequence_check.argtypes = [ctypes.py_object]
_sequence_check.restype = ctypes.c_int

U64_LIMIT = 2**64


def qualname(value):
    return type(value).__qualname__


def cannot_convert(value, target):
    return TypeError(f"'{qualname(value)}' object cannot be converted to '{target}'")


def extract_u64(value):
    """Integer rule: an int is used as it is, anything else via __index__."""
    if not issubclass(type(value), int):
        value = operator.index(value)
    number = int.__index__(value)  # the int value itself, whatever the subclass says
    if number < 0:
        raise OverflowError("can't convert negative int to unsigned")
    if number >= U64_LIMIT:
        raise OverflowError("int too big to convert")
    return number


def extract_list(value, item_rule):
    """List rule: any non-str sequence, read by iteration."""
    if issubclass(type(value), str):
        raise TypeError("Can't extract `str` to `Vec`")
    if not _sequence_check(value):
        raise cannot_convert(value, "Sequence")
    try:
        len(value)  # asked for as a size hint only; an ordinary failure is discarded
    except Exception:
        pass
    return [item_rule(item) for item in value]


def extract_pair(value):
    """Pair rule: a tuple (or subclass) of exactly two integers."""
    if not issubclass(type(value), tuple):
        raise cannot_convert(value, "PyTuple")
    length = tuple.__len__(value)
    if length != 2:
        raise ValueError(f"expected tuple of length 2, but got tuple of length {length}")
    first = extract_u64(tuple.__getitem__(value, 0))
    return first, extract_u64(tuple.__getitem__(value, 1))


def extract_u64_list(value):
    return extract_list(value, extract_u64)


def extract_matrix(value):
    return extract_list(value, extract_u64_list)


def extract_windows(value):
    return extract_list(value, lambda windows: extract_list(windows, extract_pair))


def named(name, rule, value):
    """Runs a parameter's rule; an exact TypeError is renamed after the parameter."""
    try:
        return rule(value)
    except TypeError as error:
        if type(error) is not TypeError:
            raise
        renamed = TypeError(f"argument '{name}': {error}")
        renamed.__cause__ = error.__cause__
        raise renamed from error.__cause__


SOLVE_RULES = {
    "distance_matrix": extract_matrix,
    "duration_matrix": extract_matrix,
    "job_durations": extract_u64_list,
    "time_windows": extract_windows,
    "operation_times": extract_pair,
    "time_limit": extract_u64,
}


def extract_solve_arguments(arguments):
    """The plain values solve() reads from keyword `arguments`, in parameter order.

    Raises what solve() raises for the first parameter that cannot be read.
    """
    plain = {}
    for name, rule in SOLVE_RULES.items():
        value = arguments.get(name)
        if value is None and name != "distance_matrix":
            continue
        plain[name] = named(name, rule, value)
    return plain


def read_item(index):
    """What item access on an event object reads from `index` (0 or an error)."""
    number = named("idx", extract_u64, index)
    if number != 0:
        raise IndexError("tuple index out of range")
    return number


def check_event_constructor(class_name, payload_class, args, kwargs):
    """Raises what PyEvent_X(*args, **kwargs) raises; returns the payload otherwise."""
    function = f"{class_name}.__new__()"
    if len(args) > 1:
        raise TypeError(f"{function} takes 1 positional arguments but {len(args)} were given")
    bound = list(args)
    for keyword, value in kwargs.items():
        # Names are compared by content and shown through str(), whatever a
        # str subclass does to == or formatting.
        if not str.__eq__(keyword, "_0"):
            raise TypeError(f"{function} got an unexpected keyword argument '{str(keyword)}'")
        if bound:
            raise TypeError(f"{function} got multiple values for argument '_0'")
        bound.append(value)
    if not bound:
        raise TypeError(f"{function} missing 1 required positional argument: '_0'")
    payload = bound[0]
    if not issubclass(type(payload), payload_class):
        raise TypeError(f"argument '_0': '{qualname(payload)}' object cannot be converted to "
                        f"'{payload_class.__name__}'")
    return payload
