"""Throughput of examples/batch_solve.py's three modes on one batch: 40
technician days of 100 locations with time data and a 1 s limit each.

    PYTHONPATH=build .venv/bin/python bench/batch_throughput.py [--instances N] [--workers W]

Prints instances per second for each mode and the ratio to sequential.
"""

import argparse
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "examples"))
import batch_solve  # noqa: E402

parser = argparse.ArgumentParser()
parser.add_argument("--instances", type=int, default=40)
parser.add_argument("--size", type=int, default=100)
parser.add_argument("--time-limit", type=int, default=1)
parser.add_argument("--workers", type=int, default=2)
args = parser.parse_args()

batch = [batch_solve.technician_day(2025 + k, args.size, args.time_limit)
         for k in range(args.instances)]
rates = {}
print(f"{args.instances} instances, n = {args.size}, time_limit = {args.time_limit} s, "
      f"{args.workers} workers")
print("| mode | wall s | instances/s | vs sequential |")
print("|---|---|---|---|")
for mode in ("sequential", "pool", "ray"):
    started = time.monotonic()
    try:
        outcomes = batch_solve.MODES[mode](batch, args.workers, None)
    except ImportError:
        print(f"| {mode} | not installed | | |")
        continue
    wall = time.monotonic() - started
    assert all("result" in outcome for outcome in outcomes), outcomes
    rates[mode] = len(batch) / wall
    print(f"| {mode} | {wall:.1f} | {rates[mode]:.2f} | {rates[mode] / rates['sequential']:.2f}× |",
          flush=True)
