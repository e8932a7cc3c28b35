"""Readers for the benchmark instances bundled in data/.

- TSPLIB files with coordinates (EUC_2D, CEIL_2D) become distance matrices.
- TSPTW files in the plain matrix format (N, an N x N matrix, then N windows)
  become a matrix plus one (ready, due) window per node, in instance units.
"""

from __future__ import annotations

import csv
import math
from pathlib import Path
from typing import List, Tuple

DATA = Path(__file__).resolve().parent.parent / "data"

Matrix = List[List[int]]


def read_tsplib(path: Path) -> Tuple[List[Tuple[float, float]], Matrix]:
    """Coordinates and the TSPLIB distance matrix of a coordinate instance."""
    header = {}
    coordinates = []
    in_coordinates = False
    for line in Path(path).read_text().splitlines():
        line = line.strip()
        if not line or line == "EOF":
            continue
        if line == "NODE_COORD_SECTION":
            in_coordinates = True
            continue
        if in_coordinates:
            _, x, y = line.split()[:3]
            coordinates.append((float(x), float(y)))
        elif ":" in line:
            key, value = line.split(":", 1)
            header[key.strip()] = value.strip()
    rounding = {"EUC_2D": lambda d: int(d + 0.5), "CEIL_2D": math.ceil}[header["EDGE_WEIGHT_TYPE"]]
    matrix = [[rounding(math.dist(a, b)) for b in coordinates] for a in coordinates]
    return coordinates, matrix


def read_tsptw(path: Path) -> Tuple[Matrix, List[Tuple[int, int]]]:
    """The travel-time matrix and the (ready, due) windows of an integer instance."""
    numbers: List[int] = []
    for line in Path(path).read_text().splitlines():
        if not line.lstrip().startswith("#"):
            numbers.extend(int(float(token)) for token in line.split())
    n = numbers[0]
    flat = numbers[1:1 + n * n]
    matrix = [flat[row * n:(row + 1) * n] for row in range(n)]
    bounds = numbers[1 + n * n:1 + n * n + 2 * n]
    windows = [(bounds[2 * k], bounds[2 * k + 1]) for k in range(n)]
    return matrix, windows


def tsplib_optimum(name: str) -> int:
    with open(DATA / "tsplib" / "optima.csv") as table:
        return next(int(row["optimum"]) for row in csv.DictReader(table) if row["instance"] == name)


def tsptw_best_known(file_name: str) -> int:
    with open(DATA / "tsptw" / "best_known.csv") as table:
        return next(int(float(row["value"])) for row in csv.DictReader(table)
                    if row["instance"] == file_name)
