"""Distance and driving-time matrices from coordinates, in whole metres and
seconds, the units the module expects.

Straight lines are lengthened by a road factor (road distance over
straight-line distance, about 1.2-1.4 in towns) and driven at an average
speed. For real road distances, ask a routing engine's table service for the
two matrices instead (docs/planning.md). NumPy is used when it is installed,
with the same results.
"""

from __future__ import annotations

import math
from collections.abc import Sequence
from dataclasses import dataclass

EARTH_RADIUS_METRES = 6_371_008.8  # the mean radius


@dataclass(frozen=True)
class Matrices:
    metres: list[list[int]]
    seconds: list[list[int]]


def great_circle(points: Sequence[tuple[float, float]], road_factor: float = 1.0,
                 speed_kmh: float = 50.0) -> Matrices:
    """From (latitude, longitude) pairs in degrees, by the haversine formula."""
    _check(road_factor, speed_kmh)
    try:
        import numpy
    except ImportError:
        metres = [[road_factor * _haversine(a, b) for b in points] for a in points]
    else:
        radians = numpy.radians(numpy.asarray(points, dtype=float).reshape(-1, 2))
        lat, lon = radians[:, 0:1], radians[:, 1:2]
        half = (numpy.sin((lat - lat.T) / 2) ** 2
                + numpy.cos(lat) * numpy.cos(lat.T) * numpy.sin((lon - lon.T) / 2) ** 2)
        straight = 2 * EARTH_RADIUS_METRES * numpy.arcsin(numpy.sqrt(numpy.clip(half, 0, 1)))
        metres = (road_factor * straight).tolist()
    return _rounded(metres, speed_kmh)


def planar(points: Sequence[tuple[float, float]], metres_per_unit: float = 1.0,
           road_factor: float = 1.0, speed_kmh: float = 50.0) -> Matrices:
    """From (x, y) pairs on a plane, ``metres_per_unit`` metres a unit."""
    _check(road_factor, speed_kmh)
    scale = road_factor * metres_per_unit
    try:
        import numpy
    except ImportError:
        metres = [[scale * math.hypot(ax - bx, ay - by) for bx, by in points]
                  for ax, ay in points]
    else:
        xy = numpy.asarray(points, dtype=float).reshape(-1, 2)
        metres = (scale * numpy.hypot(xy[:, 0:1] - xy[:, 0:1].T,
                                      xy[:, 1:2] - xy[:, 1:2].T)).tolist()
    return _rounded(metres, speed_kmh)


def _haversine(a: tuple[float, float], b: tuple[float, float]) -> float:
    lat_a, lon_a, lat_b, lon_b = map(math.radians, (*a, *b))
    half = (math.sin((lat_a - lat_b) / 2) ** 2
            + math.cos(lat_a) * math.cos(lat_b) * math.sin((lon_a - lon_b) / 2) ** 2)
    return 2 * EARTH_RADIUS_METRES * math.asin(math.sqrt(min(1.0, max(0.0, half))))


def _rounded(metres: list[list[float]], speed_kmh: float) -> Matrices:
    # Seconds from the rounded metres, so that both matrices agree.
    whole = [[round(value) for value in row] for row in metres]
    per_metre = 3.6 / speed_kmh
    return Matrices(whole, [[round(value * per_metre) for value in row] for row in whole])


def _check(road_factor: float, speed_kmh: float) -> None:
    if not road_factor >= 1.0:
        raise ValueError(f"road_factor must be at least 1, got {road_factor}")
    if not 0 < speed_kmh < math.inf:
        raise ValueError(f"speed_kmh must be positive and finite, got {speed_kmh}")
