"""Memory of long schedules: one job of J seconds under operating hours of one
second a day is two events per day of work (a piece and the night's wait).
Each size runs in its own process, so the peak resident set is that call's.

    PYTHONPATH=build .venv/bin/python bench/event_memory.py [JOB_SECONDS ...]

Prints events, peak RSS after solve (before any event is read from Python)
and bytes per event.
"""

import resource
import subprocess
import sys

END = 253_402_300_799  # 9999-12-31T23:59:59Z: no deadline


def measure(job: int) -> None:
    from tourwright import solve

    out = solve([[0]], [[0]], [job], [[(0, END)]], (0, 1))
    peak = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss * 1024
    schedule = out.schedule
    events = len(schedule) if schedule is not None else 0
    print(f"| {job:.0e} | {events:,} | {peak / 2**30:.2f} | {peak / events:.0f} |")


if __name__ == "__main__":
    if len(sys.argv) == 3 and sys.argv[1] == "--one":
        measure(int(sys.argv[2]))
        sys.exit()
    jobs = [int(float(value)) for value in sys.argv[1:]] or [10_000_000, 20_000_000]
    print("| job s | events | peak RSS GiB | bytes per event |")
    print("|---|---|---|---|")
    for job in jobs:
        sys.stdout.flush()
        subprocess.run([sys.executable, __file__, "--one", str(job)], check=True)
