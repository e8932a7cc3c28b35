"""Traveling Salesman Problem with Time Windows solver for one vehicle or worker.

Type information for the ``tourwright`` extension module.

Units at the boundary: distances in any unit you like; durations in whole
seconds; absolute times in Unix seconds (UTC); operating hours in seconds
since midnight UTC. Every integer must lie in 0 .. 2**64 - 1.

Only ``solve`` and ``PyOutput`` are attributes of the module at run time.
The schedule event classes below (``PyEvent``, ``PyEvent_Work``,
``PyEvent_Wait``, ``PyEvent_Travel``, ``PyWork``, ``PyWait``, ``PyTravel``)
exist at run time too, but are reached only through the objects that
``PyOutput.schedule`` returns (``type(event)``, ``PyEvent.Work`` and so on).
Use their names here in annotations only, for instance after
``from __future__ import annotations`` or under ``typing.TYPE_CHECKING``;
``tourwright.PyEvent_Work`` itself raises AttributeError at run time.
"""

from collections.abc import Iterator, Sequence
from typing import ClassVar, Literal, Optional, Protocol, SupportsIndex, TypeVar, Union, final

__all__ = ["solve", "PyOutput"]

_T_co = TypeVar("_T_co", covariant=True)

class _Items(Protocol[_T_co]):
    """What ``solve`` reads as a list: anything with a length that yields its
    items when iterated and indexed, such as a list, a tuple or a NumPy
    array. A ``str`` is not one here, since its items are not integers, nor
    is a dict of rows, which iterates over its keys."""

    def __len__(self) -> int: ...
    def __getitem__(self, index: int, /) -> _T_co: ...
    def __iter__(self) -> Iterator[_T_co]: ...

def solve(
    distance_matrix: _Items[_Items[SupportsIndex]],
    duration_matrix: Optional[_Items[_Items[SupportsIndex]]] = None,
    job_durations: Optional[_Items[SupportsIndex]] = None,
    time_windows: Optional[Sequence[Sequence[tuple[SupportsIndex, SupportsIndex]]]] = None,
    operation_times: Optional[tuple[SupportsIndex, SupportsIndex]] = None,
    time_limit: Optional[SupportsIndex] = None,
) -> PyOutput:
    """Solving the Traveling Salesman Problem with Time Windows.

    distance_matrix: row a, column b is the distance from location a to b.
    duration_matrix: travel time from a to b, whole seconds.
    job_durations: work time at each location, whole seconds.
    time_windows: per location, a list of (start, end) tuples in Unix
        seconds, sorted by start and not overlapping.
    operation_times: daily (start, end) hours, seconds since midnight UTC.
    time_limit: search budget in whole seconds; None runs one descent.

    Time scheduling is on only when duration_matrix, job_durations and
    time_windows are all given. None means the same as leaving an argument
    out.

    Raises TypeError, ValueError or OverflowError for arguments of the wrong
    type or shape, and ``pyo3_runtime.PanicException`` (a BaseException, not
    an Exception) for every failure after the arguments were read.
    """

@final
class PyOutput:
    """The result of ``solve``: a read-only snapshot of the best route."""

    @property
    def distance(self) -> int:
        """Total distance of the closed tour."""
    @property
    def route(self) -> list[int]:
        """The visiting order: a permutation of the location indices."""
    @property
    def lateness(self) -> Optional[int]:
        """Seconds by which jobs end after their last window; None without time data."""
    @property
    def duration(self) -> Optional[int]:
        """end_time - start_time in seconds; None without time data."""
    @property
    def working_time(self) -> Optional[int]:
        """Seconds spent working; None without time data."""
    @property
    def waiting_time(self) -> Optional[int]:
        """Seconds spent waiting; None without time data."""
    @property
    def traveling_time(self) -> Optional[int]:
        """Seconds spent travelling; None without time data."""
    @property
    def start_time(self) -> Optional[int]:
        """Start of the schedule, Unix seconds; None without time data."""
    @property
    def end_time(self) -> Optional[int]:
        """End of the schedule, Unix seconds; None without time data."""
    @property
    def iterations(self) -> int:
        """Number of descents the search started."""
    @property
    def time_taken_microseconds(self) -> int:
        """How long the search took, in microseconds."""
    @property
    def schedule(self) -> Optional[list[Union[PyEvent_Work, PyEvent_Wait, PyEvent_Travel]]]:
        """The work, wait and travel events in time order; None without time data."""

class PyEvent:
    """Base class of the schedule events (not a module attribute at run time)."""

    Work: ClassVar[type[PyEvent_Work]]
    Wait: ClassVar[type[PyEvent_Wait]]
    Travel: ClassVar[type[PyEvent_Travel]]

@final
class PyEvent_Work(PyEvent):
    """A piece of work at a location (not a module attribute at run time)."""

    __match_args__: ClassVar[tuple[Literal["_0"]]]
    def __new__(cls, _0: PyWork) -> PyEvent_Work: ...
    @property
    def _0(self) -> PyWork: ...
    def __len__(self) -> int: ...
    def __getitem__(self, idx: SupportsIndex, /) -> PyWork: ...
    def __iter__(self) -> Iterator[PyWork]: ...

@final
class PyEvent_Wait(PyEvent):
    """A wait (not a module attribute at run time)."""

    __match_args__: ClassVar[tuple[Literal["_0"]]]
    def __new__(cls, _0: PyWait) -> PyEvent_Wait: ...
    @property
    def _0(self) -> PyWait: ...
    def __len__(self) -> int: ...
    def __getitem__(self, idx: SupportsIndex, /) -> PyWait: ...
    def __iter__(self) -> Iterator[PyWait]: ...

@final
class PyEvent_Travel(PyEvent):
    """A piece of travel (not a module attribute at run time)."""

    __match_args__: ClassVar[tuple[Literal["_0"]]]
    def __new__(cls, _0: PyTravel) -> PyEvent_Travel: ...
    @property
    def _0(self) -> PyTravel: ...
    def __len__(self) -> int: ...
    def __getitem__(self, idx: SupportsIndex, /) -> PyTravel: ...
    def __iter__(self) -> Iterator[PyTravel]: ...

@final
class PyWork:
    """Payload of a work event (not a module attribute at run time)."""

    @property
    def location(self) -> int:
        """Index of the location worked at."""
    @property
    def window(self) -> tuple[int, int]:
        """(start, end) of this piece of work, Unix seconds."""

@final
class PyWait:
    """Payload of a wait event (not a module attribute at run time)."""

    @property
    def window(self) -> tuple[int, int]:
        """(start, end) of the wait, Unix seconds."""

@final
class PyTravel:
    """Payload of a travel event (not a module attribute at run time)."""

    @property
    def window(self) -> tuple[int, int]:
        """(start, end) of this piece of travel, Unix seconds."""
