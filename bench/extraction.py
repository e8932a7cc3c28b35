"""Argument extraction per matrix entry: a list of lists, a NumPy array read
from its memory, and the same array read item by item (an ndarray subclass,
which the module reads through the sequence protocol, as it read every array
before).

    PYTHONPATH=build .venv/bin/python bench/extraction.py [N ...]

Each figure is the quickest of five calls of solve(matrix, time_limit=0),
which reads the matrix, packs it and evaluates the order 0..n-1 without any
search, divided by n^2.
"""

import sys
import time

import numpy as np

from tourwright import solve


class ItemByItem(np.ndarray):
    pass


def per_entry(matrix, n):
    best = float("inf")
    for _ in range(5):
        started = time.perf_counter()
        solve(matrix, time_limit=0)
        best = min(best, time.perf_counter() - started)
    return best / n**2 * 1e9


def main():
    sizes = [int(v) for v in sys.argv[1:]] or [1000, 3000]
    print("| n | list of lists ns/entry | NumPy int64 ns/entry | NumPy, Fortran order | "
          "NumPy item by item | list / NumPy |")
    print("|---|---|---|---|---|---|")
    for n in sizes:
        array = np.random.default_rng(n).integers(0, 10**6, size=(n, n), dtype=np.int64)
        rows = array.tolist()
        listed = per_entry(rows, n)
        direct = per_entry(array, n)
        fortran = per_entry(np.asfortranarray(array), n)
        itemwise = per_entry(array.view(ItemByItem), n)
        print(f"| {n} | {listed:.1f} | {direct:.1f} | {fortran:.1f} | {itemwise:.1f} | "
              f"{listed / direct:.1f}× |", flush=True)


if __name__ == "__main__":
    main()
