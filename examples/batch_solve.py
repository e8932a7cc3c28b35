"""Solve a batch of independent routes: one after the other, in a process
pool, or on Ray.

    python examples/batch_solve.py                          # sequentially
    python examples/batch_solve.py --mode pool --workers 2  # a process pool
    python examples/batch_solve.py --mode ray --workers 2   # a local Ray instance
    python examples/batch_solve.py --mode ray --address ray://head:10001   # a cluster

One `solve` call holds the interpreter lock for its whole search, so threads
do not help; separate processes (or machines) do. The batch is 40 technician
days generated from a seed: each day a depot and customers with one or two
time windows, 08:00-17:00 operating hours. Results cross the process
boundary as plain data (the planning kit's `Plan`, which pickles where the
module's result does not), and every instance has its own
outcome, so one failing instance loses none of the others.

Ray is optional: `pip install --group distributed` (or `pip install ray`).
A local Ray instance serves this process only, so all its processes listen
on 127.0.0.1; a real cluster is started with `ray start` on its machines
(see docs/examples.md) and given here by its address.
"""

from __future__ import annotations

import argparse
import contextlib
import importlib
import os
import random
import sys
import time
from collections.abc import Callable, Iterator, Sequence
from concurrent.futures import ProcessPoolExecutor
from typing import Any, TypedDict

import tourwright
from tourwright_plan import Plan

H = 3600
MONDAY = 1_740_960_000  # 2025-03-03T00:00:00Z


class Instance(TypedDict, total=False):
    distance_matrix: list[list[int]]
    duration_matrix: list[list[int]]
    job_durations: list[int]
    time_windows: list[list[tuple[int, int]]]
    operation_times: tuple[int, int]
    time_limit: int


def technician_day(seed: int, size: int, time_limit: int | None) -> Instance:
    """A depot and size - 1 customers on an 8 km square, metres and seconds."""
    rng = random.Random(seed)
    points = [(rng.uniform(0, 8_000), rng.uniform(0, 8_000)) for _ in range(size)]
    metres = [[round(1.3 * ((ax - bx) ** 2 + (ay - by) ** 2) ** 0.5) for bx, by in points]
              for ax, ay in points]
    seconds = [[round(d / 11.1) for d in row] for row in metres]  # about 40 km/h
    day = MONDAY + (seed % 5) * 24 * H
    windows = [[(day + 8 * H, day + 17 * H)]]
    for _ in range(size - 1):
        opens = day + rng.randrange(8, 15) * H
        choice = [(opens, opens + 2 * H)]
        if rng.random() < 0.5:
            choice.append((opens + 3 * H, min(opens + 5 * H, day + 17 * H)))
        windows.append(choice)
    instance = Instance(distance_matrix=metres, duration_matrix=seconds,
                        job_durations=[0] + [rng.choice([10, 20, 30]) * 60 for _ in points[1:]],
                        time_windows=windows, operation_times=(8 * H, 17 * H))
    if time_limit is not None:
        instance["time_limit"] = time_limit
    return instance


def solve_one(instance: Instance) -> dict[str, Any]:
    """One instance's outcome: {"result": Plan} or {"error": (class name, message)}.

    The module's internal failure class cannot be pickled, so a failure
    travels as its class name and exact message.
    """
    try:
        return {"result": Plan.from_output(tourwright.solve(**instance))}
    except (KeyboardInterrupt, SystemExit):
        raise
    except BaseException as error:  # the internal failure class derives from BaseException
        return {"error": (type(error).__name__, str(error))}


def solve_sequentially(batch: Sequence[Instance], workers: int,
                       address: str | None) -> list[dict[str, Any]]:
    return [solve_one(instance) for instance in batch]


def solve_in_pool(batch: Sequence[Instance], workers: int,
                  address: str | None) -> list[dict[str, Any]]:
    with ProcessPoolExecutor(max_workers=workers) as pool:
        return list(pool.map(solve_one, batch))


LOOPBACK = "127.0.0.1"


@contextlib.contextmanager
def ray_instance(workers: int, address: str | None) -> Iterator[Any]:
    """Ray, connected to the cluster at `address`, or to a local instance of
    `workers` CPUs on loopback; shut down on leaving."""
    if address is None:
        # By default Ray gives a local instance's processes the machine's
        # network address; without cluster support it keeps them on
        # loopback. Ray reads this when it is first imported.
        os.environ["RAY_ENABLE_WINDOWS_OR_OSX_CLUSTER"] = "0"
    ray: Any = importlib.import_module("ray")
    if address is None:
        ray.init(num_cpus=workers, include_dashboard=False, log_to_driver=False)
    else:
        ray.init(address=address, log_to_driver=False)
    try:
        if address is None:
            exposed = {node["NodeManagerAddress"] for node in ray.nodes()} - {LOOPBACK}
            if exposed:
                raise RuntimeError(f"the local Ray instance listens on {sorted(exposed)}, "
                                   "not only on loopback: was ray imported earlier?")
        yield ray
    finally:
        ray.shutdown()


def solve_on_ray(batch: Sequence[Instance], workers: int,
                 address: str | None) -> list[dict[str, Any]]:
    with ray_instance(workers, address) as ray:
        # Ship this file's functions by value: workers (on other machines
        # too) need tourwright installed, not this example.
        if __name__ != "__main__":
            ray.cloudpickle.register_pickle_by_value(sys.modules[__name__])
        remote_solve = ray.remote(num_cpus=1)(solve_one)
        return list(ray.get([remote_solve.remote(instance) for instance in batch]))


MODES: dict[str, Callable[[Sequence[Instance], int, str | None], list[dict[str, Any]]]] = {
    "sequential": solve_sequentially, "pool": solve_in_pool, "ray": solve_on_ray}


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--mode", choices=sorted(MODES), default="sequential")
    parser.add_argument("--instances", type=int, default=40)
    parser.add_argument("--size", type=int, default=12, help="locations per day")
    parser.add_argument("--time-limit", type=int, default=None,
                        help="seconds per instance (default: one deterministic descent)")
    parser.add_argument("--workers", type=int, default=2)
    parser.add_argument("--address", default=None, help="an existing Ray cluster")
    parser.add_argument("--seed", type=int, default=2025)
    args = parser.parse_args()

    batch = [technician_day(args.seed + k, args.size, args.time_limit)
             for k in range(args.instances)]
    started = time.monotonic()
    outcomes = MODES[args.mode](batch, args.workers, args.address)
    elapsed = time.monotonic() - started
    failed = sum("error" in outcome for outcome in outcomes)
    late = sum((outcome["result"].lateness or 0) > 0 for outcome in outcomes
               if "result" in outcome)
    workers = "" if args.mode == "sequential" else f" ({args.workers} workers)"
    print(f"Mode:       {args.mode}{workers}")
    print(f"Instances:  {len(outcomes)} of {args.size} locations, {failed} failed, "
          f"{late} with lateness")
    print(f"Wall time:  {elapsed:.2f} s ({len(outcomes) / elapsed:.2f} instances/s)")
    first = outcomes[0]
    if "result" in first:
        print(f"First:      route {first['result'].route}, "
              f"distance {first['result'].distance} m")


if __name__ == "__main__":
    main()
