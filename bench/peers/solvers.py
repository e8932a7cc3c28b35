"""One adapter per solver: the instance modelled as well as that solver
allows, solved within a wall-clock budget, and the visiting order returned.

Every adapter returns a permutation of the locations (the peers' routes start
at location 0, their depot) or raises CannotExpress with the reason. What a
solver reports about its own solution is never used: checker.py scores the
order. HOW says how each family is modelled, for the comparison's page.
"""

from __future__ import annotations

import importlib.util
from datetime import timedelta
from typing import Callable

from families import DAY, T0, Instance

Route = list[int]


class CannotExpress(Exception):
    """The solver has no counterpart for this kind of instance."""


def _needs(family: str, *allowed: str) -> None:
    if family not in allowed:
        raise CannotExpress


# --------------------------------------------------------------- tourwright

def tourwright_run(instance: Instance, budget: float) -> Route:
    import tourwright
    from tsptw_benchmark import solve_instance

    limit = max(1, round(budget))
    if instance.family == "tsplib":
        return tourwright.solve(instance.matrix, time_limit=limit).route
    if instance.family == "tsptw":
        assert instance.windows is not None
        route = solve_instance(instance.matrix, instance.windows, limit).route
        depot = route.index(0)
        return route[depot:] + route[:depot]
    return tourwright.solve(instance.matrix, time_limit=limit, **instance.model).route


# ----------------------------------------------------------------- OR-Tools

def _usable(model: dict, location: int) -> list[tuple[int, int]]:
    """The starts (seconds after T0) from which the job ends inside a window."""
    job = model["job_durations"][location]
    return [(start - T0, end - T0 - job) for start, end in model["time_windows"][location]
            if end - start >= job]


def ortools_run(instance: Instance, budget: float) -> Route:
    from ortools.constraint_solver import pywrapcp, routing_enums_pb2

    n = instance.n
    family = instance.family
    if family == "ours" and instance.model.get("operation_times"):
        raise CannotExpress
    manager = pywrapcp.RoutingIndexManager(n, 1, 0)
    routing = pywrapcp.RoutingModel(manager)
    if family == "ours":
        travel = instance.model["duration_matrix"]
        arc = routing.RegisterTransitMatrix(travel)
    else:
        arc = routing.RegisterTransitMatrix(instance.matrix)
    routing.SetArcCostEvaluatorOfAllVehicles(arc)

    if family == "tsptw":
        assert instance.windows is not None
        horizon = instance.windows[0][1]
        routing.AddDimension(arc, 10 * horizon, 10 * horizon, False, "time")
        time = routing.GetDimensionOrDie("time")
        # Hard due times make it find no first tour at all on these instances, so
        # they are soft with a penalty far above any tour's cost; waiting stays free.
        for node in range(1, n):
            ready, due = instance.windows[node]
            time.CumulVar(manager.NodeToIndex(node)).SetMin(ready)
            time.SetCumulVarSoftUpperBound(manager.NodeToIndex(node), due, 100_000)
        time.CumulVar(routing.Start(0)).SetRange(instance.windows[0][0], instance.windows[0][0])
        time.SetCumulVarSoftUpperBound(routing.End(0), horizon, 100_000)
    elif family == "ours":
        model = instance.model
        jobs = model["job_durations"]
        # A visit's transit is its job and then the drive; the cumul is when the job starts.
        service = routing.RegisterTransitMatrix(
            [[jobs[a] + model["duration_matrix"][a][b] for b in range(n)] for a in range(n)])
        horizon = 7 * DAY
        routing.AddDimension(service, horizon, horizon, False, "time")
        time = routing.GetDimensionOrDie("time")
        time.CumulVar(routing.Start(0)).SetRange(0, 0)
        tight = len(model["time_windows"][1]) == 1 and all(
            len(windows) == 1 for windows in model["time_windows"])
        for node in range(1, n):
            cumul = time.CumulVar(manager.NodeToIndex(node))
            starts = _usable(model, node)
            if tight:
                # Soft: lateness (the job's end past the window's) costs far more than driving.
                (start, end), = [(s - T0, e - T0) for s, e in model["time_windows"][node]]
                cumul.SetMin(start)
                time.SetCumulVarSoftUpperBound(manager.NodeToIndex(node), end - jobs[node], 1000)
                continue
            if not starts:
                raise CannotExpress  # never happens with the generated data
            # Several windows: a start inside one of them, or late after the last
            # (soft, as in our model, since hard windows find no first tour).
            cumul.SetMin(starts[0][0])
            for (_, end), (start, _) in zip(starts, starts[1:]):
                if start > end + 1:
                    cumul.RemoveInterval(end + 1, start - 1)
            time.SetCumulVarSoftUpperBound(manager.NodeToIndex(node), starts[-1][1], 1000)

    parameters = pywrapcp.DefaultRoutingSearchParameters()
    # With windows, insertion finds a first tour where extending a path often finds none.
    strategy = routing_enums_pb2.FirstSolutionStrategy
    parameters.first_solution_strategy = (
        strategy.PATH_CHEAPEST_ARC if family == "tsplib" else strategy.PARALLEL_CHEAPEST_INSERTION)
    parameters.local_search_metaheuristic = (
        routing_enums_pb2.LocalSearchMetaheuristic.GUIDED_LOCAL_SEARCH)
    parameters.time_limit.FromMilliseconds(int(budget * 1000))
    solution = routing.SolveWithParameters(parameters)
    if solution is None:
        return []
    route, index = [], routing.Start(0)
    while not routing.IsEnd(index):
        route.append(manager.IndexToNode(index))
        index = solution.Value(routing.NextVar(index))
    return route


# -------------------------------------------------------------------- PyVRP

def pyvrp_run(instance: Instance, budget: float) -> Route:
    import numpy as np
    import pyvrp
    from pyvrp.stop import MaxRuntime

    n = instance.n
    family = instance.family
    if family == "ours":
        model = instance.model
        if model.get("operation_times") or any(len(w) > 1 for w in model["time_windows"]):
            raise CannotExpress
        durations = np.array(model["duration_matrix"], dtype=np.int64)
        windows = [(start - T0, end - T0 - job) for [(start, end)], job
                   in zip(model["time_windows"], model["job_durations"])]
        services = model["job_durations"]
        depot_window = (0, 7 * DAY)
    elif family == "tsptw":
        assert instance.windows is not None
        durations = np.array(instance.matrix, dtype=np.int64)
        windows = instance.windows
        services = [0] * n
        depot_window = instance.windows[0]
    else:
        durations = np.zeros((n, n), dtype=np.int64)
        windows = [(0, np.iinfo(np.int64).max)] * n
        services = [0] * n
        depot_window = windows[0]
    distances = np.array(instance.matrix, dtype=np.int64)
    data = pyvrp.ProblemData(
        locations=[pyvrp.Location(0, 0) for _ in range(n)],
        clients=[pyvrp.Client(location=k, service_duration=services[k], tw_early=windows[k][0],
                              tw_late=max(windows[k][0], windows[k][1])) for k in range(1, n)],
        depots=[pyvrp.Depot(location=0, tw_early=depot_window[0], tw_late=depot_window[1],
                            service_duration=services[0])],
        vehicle_types=[pyvrp.VehicleType(1, start_depot=0, end_depot=0, tw_early=depot_window[0],
                                         tw_late=depot_window[1],
                                         unit_duration_cost=1 if family == "ours" else 0,
                                         unit_distance_cost=0 if family == "ours" else 1)],
        distance_matrices=[distances],
        duration_matrices=[durations],
    )
    result = pyvrp.solve(data, stop=MaxRuntime(budget), seed=1, collect_stats=False,
                         display=False)
    routes = result.best.routes()
    if not routes:
        return []
    clients = data.clients()
    return [0] + [clients[activity.idx].location for activity in routes[0].schedule()
                  if activity.is_client()]


# -------------------------------------------------------------------- VROOM

def vroom_run(instance: Instance, budget: float) -> Route:
    import vroom

    n = instance.n
    family = instance.family
    problem = vroom.Input()
    if family == "ours":
        model = instance.model
        if model.get("operation_times") or all(len(w) == 1 for w in model["time_windows"]):
            raise CannotExpress  # pausing work, or soft windows (its windows are hard)
        problem.set_durations_matrix("car", model["duration_matrix"])
        problem.add_vehicle(vroom.Vehicle(1, start=0, end=0, profile="car",
                                          time_window=vroom.TimeWindow(0, 7 * DAY)))
        for node in range(n):
            problem.add_job(vroom.Job(node + 1, location=node,
                                      default_service=model["job_durations"][node],
                                      time_windows=[vroom.TimeWindow(s, e)
                                                    for s, e in _usable(model, node)]))
    else:
        problem.set_durations_matrix("car", instance.matrix)
        window = instance.windows[0] if instance.windows else (0, 2**31)
        problem.add_vehicle(vroom.Vehicle(1, start=0, end=0, profile="car",
                                          time_window=vroom.TimeWindow(*window)))
        for node in range(1, n):
            windows = [vroom.TimeWindow(*instance.windows[node])] if instance.windows else []
            problem.add_job(vroom.Job(node, location=node, time_windows=windows))
    solution = problem.solve(exploration_level=5, nb_threads=1,
                             timeout=timedelta(seconds=budget))
    steps = solution.routes
    jobs = steps[steps["type"] == "job"]["location_index"].tolist()
    if family == "ours":
        return [int(location) for location in jobs]
    return [0] + [int(location) for location in jobs]


# -------------------------------------------------------------------- elkai

def elkai_run(instance: Instance, budget: float) -> Route:
    import elkai

    _needs(instance.family, "tsplib")
    # No time limit: the number of runs stands in for the budget.
    tour = elkai.DistanceMatrix(instance.matrix).solve_tsp(runs=max(1, round(budget)))
    return tour[:-1] if len(tour) > instance.n else tour


# --------------------------------------------------------------- python-tsp

def python_tsp_run(instance: Instance, budget: float) -> Route:
    import numpy as np
    from python_tsp.heuristics import solve_tsp_local_search

    _needs(instance.family, "tsplib")
    permutation, _ = solve_tsp_local_search(np.array(instance.matrix),
                                            max_processing_time=budget)
    return [int(location) for location in permutation]


SOLVERS: dict[str, tuple[str, Callable[[Instance, float], Route]]] = {
    # name: (module that must be importable, adapter)
    "tourwright": ("tourwright", tourwright_run),
    "ortools": ("ortools", ortools_run),
    "pyvrp": ("pyvrp", pyvrp_run),
    "pyvroom": ("vroom", vroom_run),
    "elkai": ("elkai", elkai_run),
    "python-tsp": ("python_tsp", python_tsp_run),
}


def installed(name: str) -> bool:
    return importlib.util.find_spec(SOLVERS[name][0]) is not None


def version(name: str) -> str:
    from importlib.metadata import PackageNotFoundError, version as package_version

    package = {"tourwright": "tourwright", "ortools": "ortools", "pyvrp": "pyvrp",
               "pyvroom": "pyvroom", "elkai": "elkai", "python-tsp": "python-tsp"}[name]
    if name == "tourwright":  # run from the build tree: the tree's version and commit
        import subprocess

        from families import ROOT

        commit = subprocess.run(["git", "-C", str(ROOT), "rev-parse", "--short", "HEAD"],
                                capture_output=True, text=True).stdout.strip()
        text = (ROOT / "pyproject.toml").read_text()
        number = text.split('version = "', 1)[1].split('"', 1)[0]
        return f"{number} (commit {commit or '?'})"
    try:
        return package_version(package)
    except PackageNotFoundError:
        return "?"


# How each family is modelled, by solver ("" where it cannot be expressed).
HOW: dict[str, dict[str, str]] = {
    "tourwright": {
        "tsplib": "the distance matrix",
        "tsptw": "as examples/tsptw_benchmark.py: one unit = 1000 s, one-second jobs, window "
                 "(ready, due + 999 s); the depot's window (0, 999 s) keeps it first",
        "ours/windows": "native", "ours/hours": "native", "ours/tight": "native",
    },
    "ortools": {
        "tsplib": "one vehicle from depot 0, guided local search",
        "tsptw": "time dimension with waiting (slack); due times as soft upper bounds at "
                 "100,000 per unit late (with hard ones it finds no first tour), so tours "
                 "with lateness are possible and scored as such",
        "ours/windows": "time dimension (job + drive per arc); a job starts inside one of its "
                        "windows, each shortened by the job (RemoveInterval on the gaps), or "
                        "late after the last one (soft upper bound, 1000 per second)",
        "ours/hours": "",
        "ours/tight": "soft upper bound on each job's start (window end − job), 1000 per "
                      "second late",
    },
    "pyvrp": {
        "tsplib": "one vehicle, depot 0",
        "tsptw": "client windows, depot window as the vehicle's shift",
        "ours/windows": "",
        "ours/hours": "",
        "ours/tight": "its hard windows (window end − job), penalised during the search; the "
                      "route it returns is scored for lateness",
    },
    "pyvroom": {
        "tsplib": "one vehicle, durations = distances, one thread",
        "tsptw": "job windows, vehicle window = the depot's",
        "ours/windows": "several windows per job (each shortened by the job), one thread",
        "ours/hours": "",
        "ours/tight": "",
    },
    "elkai": {"tsplib": "the distance matrix; runs = budget in seconds (no time limit)"},
    "python-tsp": {"tsplib": "solve_tsp_local_search with max_processing_time"},
}
