"""Solve a classic TSPLIB instance and compare the tour with its known optimum.

    python3 examples/tsplib_tour.py                 # berlin52, 1 second of search
    python3 examples/tsplib_tour.py kroA100 --time-limit 5

The coordinates are turned into the instance's own integer distance matrix
(EUC_2D: Euclidean distance rounded to the nearest integer), so the tour
length is directly comparable with the published optimum. Without time data
tourwright minimises the length of the closed tour alone.
"""

from __future__ import annotations

import argparse

import tourwright

from instances import DATA, read_tsplib, tsplib_optimum


def tour_length(matrix: list[list[int]], route: list[int]) -> int:
    """Length of the closed tour, recomputed here as a cross-check."""
    return sum(matrix[a][b] for a, b in zip(route, route[1:] + route[:1]))


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("instance", nargs="?", default="berlin52",
                        help="a TSPLIB instance in data/tsplib (default: berlin52)")
    parser.add_argument("--time-limit", type=int, default=1,
                        help="seconds of search (default: 1)")
    args = parser.parse_args()

    path = DATA / "tsplib" / f"{args.instance}.tsp"
    if not path.is_file():
        available = sorted(found.stem for found in (DATA / "tsplib").glob("*.tsp"))
        parser.error(f"no instance {args.instance!r}; available: {', '.join(available)}")
    _, matrix = read_tsplib(path)
    optimum = tsplib_optimum(args.instance)
    out = tourwright.solve(matrix, time_limit=args.time_limit)

    assert sorted(out.route) == list(range(len(matrix)))
    assert out.distance == tour_length(matrix, out.route)
    gap = 100 * (out.distance - optimum) / optimum
    print(f"Instance:    {args.instance} ({len(matrix)} cities)")
    print(f"Tour length: {out.distance}")
    print(f"Optimum:     {optimum}")
    print(f"Gap:         {gap:.2f} %")
    print(f"Search:      {out.iterations} descents in {out.time_taken_microseconds / 1e6:.2f} s "
          f"(limit {args.time_limit} s)")
    print(f"Route:       {' '.join(str(city) for city in out.route)}")


if __name__ == "__main__":
    main()
