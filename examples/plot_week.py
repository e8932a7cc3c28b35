"""Draw the technician's week: the route on the map and the schedule per day.

    python3 examples/plot_week.py                       # writes technician_week.png
    python3 examples/plot_week.py --output docs/technician_week.png --time-limit 5

Left: the sites on the plane (kilometres from the office) and the closed
tour through them, numbered in visiting order. Right: one row per weekday
with the work, driving and waiting of that day between opening and closing
time, every job labelled (by its number on the map where the name does not
fit) and the time window it runs in drawn, on that day, as a strip above
it; nights are not drawn. Needs matplotlib (Debian: python3-matplotlib);
the Agg backend renders without a display.
"""

from __future__ import annotations

import argparse
from datetime import datetime, timedelta, timezone
from pathlib import Path

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
from matplotlib.patches import Patch  # noqa: E402

from technician_week import CLOSING, DAYS, OPENING, SITES, WEEK, solve_week  # noqa: E402
from timeline import hours_minutes, steps  # noqa: E402

COLOURS = {"work": "#2b6cb0", "travel": "#dd6b20", "wait": "#cbd5e0"}
WINDOW_COLOUR = "#90cdf4"


def day_start(day_index: int) -> int:
    moment = datetime.combine(WEEK + timedelta(days=day_index), OPENING, tzinfo=timezone.utc)
    return int(moment.timestamp())


def plot(output: Path, time_limit: int) -> None:
    out = solve_week(time_limit)
    schedule = out.schedule
    assert schedule is not None
    route = out.route

    figure, (on_map, by_day) = plt.subplots(
        1, 2, figsize=(15, 6.2), gridspec_kw={"width_ratios": [1, 1.55]})

    # The route on the plane.
    xs = [SITES[k].x_km for k in route + route[:1]]
    ys = [SITES[k].y_km for k in route + route[:1]]
    on_map.plot(xs, ys, color="#4a5568", linewidth=1.2, zorder=1)
    for a, b in zip(route, route[1:] + route[:1]):
        on_map.annotate("", xy=(SITES[b].x_km, SITES[b].y_km),
                        xytext=(SITES[a].x_km, SITES[a].y_km),
                        arrowprops={"arrowstyle": "-|>", "color": "#4a5568", "shrinkA": 7,
                                    "shrinkB": 7, "linewidth": 1.2})
    for position, k in enumerate(route):
        site = SITES[k]
        office = k == 0
        on_map.scatter(site.x_km, site.y_km, s=200 if office else 120, zorder=2,
                       marker="s" if office else "o", color="#1a202c" if office else "#2b6cb0")
        on_map.annotate(str(position), (site.x_km, site.y_km), ha="center", va="center",
                        color="white", fontsize=8, zorder=3)
        west = site.x_km < 0  # labels point away from the office
        on_map.annotate(site.name, (site.x_km, site.y_km), textcoords="offset points",
                        xytext=(-9 if west else 9, 7), ha="right" if west else "left", fontsize=8)
    on_map.set_title(f"Route: {out.distance / 1000:.1f} km by road")
    on_map.set_xlabel("km east of the office")
    on_map.set_ylabel("km north of the office")
    on_map.margins(0.25)
    on_map.set_aspect("equal", adjustable="datalim")
    on_map.grid(True, linewidth=0.4, alpha=0.5)

    # The schedule, one row per day, clipped to the operating hours.
    open_hours = (CLOSING.hour - OPENING.hour) * 3600
    for step in steps(schedule, route):
        for day_index in range(len(DAYS)):
            first = day_start(day_index)
            start, end = max(step.start, first), min(step.end, first + open_hours)
            if start >= end:
                continue
            left = OPENING.hour + (start - first) / 3600
            width = (end - start) / 3600
            by_day.barh(day_index, width, left=left, height=0.6, color=COLOURS[step.kind],
                        edgecolor="white", linewidth=0.6)
            if step.kind != "work":
                continue
            # Every job is labelled: by name where it fits, else by its
            # number on the map.
            position = route.index(step.location)
            label = SITES[step.location].name if width >= 0.75 else str(position)
            by_day.text(left + width / 2, day_index, label, ha="center", va="center",
                        color="white", fontsize=7, wrap=True)
            # The window the job runs in, on that day, as a strip above its
            # bar; consecutive jobs alternate between two lanes, so that
            # their windows stay apart where they overlap.
            for window_start, window_end in SITES[step.location].windows:
                if not window_start <= step.start <= window_end:
                    continue
                shown = max(window_start, first), min(window_end, first + open_hours)
                if shown[0] < shown[1]:
                    by_day.barh(day_index - 0.36 - 0.09 * (position % 2),
                                (shown[1] - shown[0]) / 3600,
                                left=OPENING.hour + (shown[0] - first) / 3600, height=0.07,
                                color=WINDOW_COLOUR, linewidth=0)
    by_day.set_yticks(range(len(DAYS)), [WEEK.replace(day=WEEK.day + k).strftime("%a %d %b")
                                         for k in range(len(DAYS))])
    by_day.invert_yaxis()
    by_day.set_xlim(OPENING.hour, CLOSING.hour)
    by_day.set_xticks(range(OPENING.hour, CLOSING.hour + 1),
                      [f"{hour:02d}:00" for hour in range(OPENING.hour, CLOSING.hour + 1)])
    by_day.set_xlabel("time of day (UTC)")
    by_day.set_title(f"Schedule: work {hours_minutes(out.working_time or 0)}, "
                     f"driving {hours_minutes(out.traveling_time or 0)}, "
                     f"lateness {out.lateness} s")
    legend = [Patch(color=colour, label=kind) for kind, colour in COLOURS.items()]
    legend.append(Patch(color=WINDOW_COLOUR, label="window of the job below"))
    by_day.legend(handles=legend, loc="upper center", bbox_to_anchor=(0.5, -0.12), ncol=4,
                  frameon=False)
    by_day.grid(True, axis="x", linewidth=0.4, alpha=0.5)

    figure.suptitle("A heating technician's week, planned by tourwright", fontsize=13)
    figure.tight_layout()
    output.parent.mkdir(parents=True, exist_ok=True)
    figure.savefig(output, dpi=110)
    plt.close(figure)
    print(f"Wrote {output} (route {' '.join(str(k) for k in route)}, lateness {out.lateness} s)")


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--output", type=Path, default=Path("technician_week.png"),
                        help="PNG file to write (default: technician_week.png)")
    parser.add_argument("--time-limit", type=int, default=1, help="seconds of search (default: 1)")
    args = parser.parse_args()
    plot(args.output, args.time_limit)


if __name__ == "__main__":
    main()
