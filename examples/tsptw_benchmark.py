"""Solve a TSPTW benchmark instance and compare it with the best known value.

    python3 examples/tsptw_benchmark.py                        # n40w40.001, 1 second
    python3 examples/tsptw_benchmark.py n100w20.001 --time-limit 5

The instances in data/tsptw (Dumas et al., in the plain matrix format read by
``instances.read_tsptw``) ask for a closed tour from the depot, node 0,
starting at time 0: arriving early at a customer means waiting until its
ready time, arriving after its due time is infeasible, and the cost is the
sum of the travel times. Their mapping onto tourwright:

- one instance time unit becomes UNIT seconds, and every visit a 1-second
  job (a job of length zero would ignore its window);
- customer j gets the single window (ready_j * UNIT, due_j * UNIT + UNIT - 1),
  so a visit may start anywhere in its due unit. The 1-second jobs add at most
  one second per visit, which stays below one unit, so a visit fits its window
  in tourwright exactly when it starts in time in the benchmark;
- the depot gets the window (0, UNIT - 1): a tour that does not start at the
  depot reaches it late, so the search keeps the depot first.

tourwright ranks lateness first and travelling time second, and the
travelling time is UNIT times the tour cost, so it looks for a feasible tour
of least cost, as the benchmark does. The route is then checked again here
under the benchmark's own rules, independently of the module.
"""

from __future__ import annotations

import argparse
from dataclasses import dataclass

import tourwright

from instances import DATA, read_tsptw, tsptw_best_known

UNIT = 1000  # seconds per instance time unit; must exceed the number of nodes


@dataclass(frozen=True)
class Check:
    cost: int
    late_visits: list[int]
    return_time: int
    horizon: int

    @property
    def feasible(self) -> bool:
        return not self.late_visits and self.return_time <= self.horizon


def check_tour(matrix: list[list[int]], windows: list[tuple[int, int]],
               route: list[int]) -> Check:
    """Cost and feasibility of the tour under the benchmark's rules."""
    depot = route.index(0)
    tour = route[depot:] + route[:depot]
    time = cost = 0
    late = []
    for a, b in zip(tour, tour[1:]):
        cost += matrix[a][b]
        ready, due = windows[b]
        time = max(time + matrix[a][b], ready)
        if time > due:
            late.append(b)
    cost += matrix[tour[-1]][0]
    return Check(cost, late, time + matrix[tour[-1]][0], windows[0][1])


def solve_instance(matrix: list[list[int]], windows: list[tuple[int, int]],
                   time_limit: int) -> tourwright.PyOutput:
    n = len(matrix)
    assert UNIT > n, "the one-second jobs must not add up to a whole unit"
    time_windows = [[(ready * UNIT, due * UNIT + UNIT - 1)] for ready, due in windows]
    time_windows[0] = [(0, UNIT - 1)]
    return tourwright.solve(
        distance_matrix=matrix,
        duration_matrix=[[UNIT * units for units in row] for row in matrix],
        job_durations=[1] * n,
        time_windows=time_windows,
        time_limit=time_limit,
    )


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("instance", nargs="?", default="n40w40.001",
                        help="an instance in data/tsptw, without .txt (default: n40w40.001)")
    parser.add_argument("--time-limit", type=int, default=1, help="seconds of search (default: 1)")
    args = parser.parse_args()

    file_name = f"{args.instance}.txt"
    matrix, windows = read_tsptw(DATA / "tsptw" / file_name)
    best = tsptw_best_known(file_name)
    out = solve_instance(matrix, windows, args.time_limit)
    check = check_tour(matrix, windows, out.route)

    assert sorted(out.route) == list(range(len(matrix)))
    assert out.lateness is not None and out.traveling_time is not None
    assert out.traveling_time == UNIT * check.cost  # the module's view matches the check
    print(f"Instance:      {args.instance} ({len(matrix)} nodes, depot included)")
    print(f"Route:         {' '.join(str(node) for node in out.route)}")
    print(f"Lateness:      {out.lateness} s in tourwright "
          f"({len(check.late_visits)} visits after their due time)")
    print(f"Benchmark:     {'feasible' if check.feasible else 'infeasible'}, "
          f"back at the depot at {check.return_time} (horizon {check.horizon})")
    gap = "no gap: infeasible"
    if check.feasible:
        gap = f"gap {100 * (check.cost - best) / best:+.2f} %"
    print(f"Travel time:   {check.cost} (best known {best}, {gap})")
    print(f"Search:        {out.iterations} descents in "
          f"{out.time_taken_microseconds / 1e6:.2f} s")


if __name__ == "__main__":
    main()
