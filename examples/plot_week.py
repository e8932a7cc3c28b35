"""Draw the technician's week: the route on the map and the schedule per day.

    python3 examples/plot_week.py                       # writes technician_week.png
    python3 examples/plot_week.py --output docs/technician_week.png --time-limit 5

Left: the sites on the plane (kilometres from the office) and the closed
tour through them, numbered in visiting order. Right: one row per day with
the work and driving of that day between opening and closing time, every
job numbered as on the map and the time window it runs in drawn as a strip
above it; waits are blank and nights are not drawn. The pictures come from
tourwright_plan.pictures. Needs matplotlib (Debian: python3-matplotlib); the
Agg backend renders without a display.
"""

from __future__ import annotations

import argparse
from pathlib import Path

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
from matplotlib.patches import Patch  # noqa: E402
from tourwright_plan import Plan, timetable  # noqa: E402
from tourwright_plan.pictures import COLOURS, draw_days, draw_route  # noqa: E402

from technician_week import CLOSING, OPENING, SITES, solve_week, week_problem  # noqa: E402
from timeline import hours_minutes  # noqa: E402


def plot(output: Path, time_limit: int) -> None:
    plan = Plan.from_output(solve_week(time_limit))
    table = timetable(plan, week_problem(), "UTC")

    figure, (on_map, by_day) = plt.subplots(
        1, 2, figsize=(15, 6.2), gridspec_kw={"width_ratios": [1, 1.55]})
    draw_route(on_map, [(site.x_km, site.y_km) for site in SITES], plan.route,
               [site.name for site in SITES])
    on_map.set_title(f"Route: {plan.distance / 1000:.1f} km by road")
    on_map.set_xlabel("km east of the office")
    on_map.set_ylabel("km north of the office")
    on_map.set_aspect("equal", adjustable="datalim")

    draw_days(by_day, table, OPENING, CLOSING)
    by_day.set_title(f"Schedule: work {hours_minutes(plan.working_time or 0)}, "
                     f"driving {hours_minutes(plan.traveling_time or 0)}, "
                     f"lateness {plan.lateness} s")
    legend = [Patch(color=colour, label=kind) for kind, colour in COLOURS.items()]
    by_day.legend(handles=legend, loc="upper center", bbox_to_anchor=(0.5, -0.12), ncol=3,
                  frameon=False)

    figure.suptitle("A heating technician's week, planned by tourwright", fontsize=13)
    figure.tight_layout()
    output.parent.mkdir(parents=True, exist_ok=True)
    figure.savefig(output, dpi=110)
    plt.close(figure)
    print(f"Wrote {output} (route {' '.join(str(k) for k in plan.route)}, "
          f"lateness {plan.lateness} s)")


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--output", type=Path, default=Path("technician_week.png"),
                        help="PNG file to write (default: technician_week.png)")
    parser.add_argument("--time-limit", type=int, default=1, help="seconds of search (default: 1)")
    args = parser.parse_args()
    plot(args.output, args.time_limit)


if __name__ == "__main__":
    main()
