"""Plan a day of 21 visits with time windows and print the schedule.

The instance is n20w20.001 of the Dumas et al. TSPTW benchmark (a depot and
20 customers, windows about 20 minutes wide). One instance time unit is taken
as one minute from Monday 2025-03-03 08:00 UTC. Each visit takes one second,
so that the windows bite, and a window (ready, due) becomes a window that
ends one minute after `due`, so that a visit may start as late as `due`.
Because of that minute, and because the tour need not begin at the depot,
the distance can come out slightly below the benchmark's best known value.
"""

from datetime import datetime, timezone

import tourwright

from instances import DATA, read_tsptw, tsptw_best_known

INSTANCE = "n20w20.001.txt"
MINUTE = 60
DAY_START = int(datetime(2025, 3, 3, 8, 0, tzinfo=timezone.utc).timestamp())


def clock(unix_seconds: int, with_seconds: bool = False) -> str:
    shown = "%a %H:%M:%S" if with_seconds else "%a %H:%M"
    return datetime.fromtimestamp(unix_seconds, timezone.utc).strftime(shown)


def main() -> None:
    matrix, windows = read_tsptw(DATA / "tsptw" / INSTANCE)
    n = len(matrix)
    out = tourwright.solve(
        distance_matrix=matrix,
        duration_matrix=[[MINUTE * units for units in row] for row in matrix],
        job_durations=[1] * n,
        time_windows=[[(DAY_START + MINUTE * ready, DAY_START + MINUTE * (due + 1))]
                      for ready, due in windows],
        time_limit=2,
    )

    assert out.schedule is not None and out.start_time is not None and out.end_time is not None

    best = tsptw_best_known(INSTANCE)
    print(f"Instance {INSTANCE}: {n} locations, best known travel time {best}")
    print(f"Route:    {out.route}")
    print(f"Distance: {out.distance} (gap {100 * (out.distance - best) / best:+.1f} % to best known)")
    print(f"Lateness: {out.lateness} s   working {out.working_time} s   "
          f"waiting {out.waiting_time} s   travelling {out.traveling_time} s")
    print(f"Day:      {clock(out.start_time)} to {clock(out.end_time)} "
          f"({out.iterations} descents in {out.time_taken_microseconds / 1e6:.1f} s)")
    print()
    print(f"{'event':<8}{'location':>9}  {'from':>12}  {'to':>12}  {'length':>7}")
    for event in out.schedule:
        payload = event._0
        kind = type(event).__name__.removeprefix("PyEvent_")
        location = getattr(payload, "location", "")
        start, end = payload.window
        minutes, seconds = divmod(end - start, 60)
        print(f"{kind:<8}{location:>9}  {clock(start, True):>12}  {clock(end, True):>12}  "
              f"{minutes:4d}:{seconds:02d}")


if __name__ == "__main__":
    main()
