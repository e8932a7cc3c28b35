"""A plan as pictures (needs matplotlib): the route on a map and the
schedule as one bar chart row per day, between opening and closing time
in the timetable's zone. Each function draws on axes the caller owns, so
that figures can be composed and saved as the caller likes.
"""

from __future__ import annotations

from collections.abc import Sequence
from datetime import datetime, time, timedelta
from typing import Any, Optional

from tourwright_plan.timetable import Timetable

COLOURS = {"work": "#2b6cb0", "travel": "#dd6b20", "window": "#90cdf4"}


def draw_route(axes: Any, points: Sequence[tuple[float, float]], route: Sequence[int],
               names: Optional[Sequence[str]] = None) -> None:
    """The closed tour through ``points`` (x, y; for latitude and longitude
    pass (longitude, latitude)), each stop numbered in visiting order and
    the first drawn as a square."""
    closed = [*route, route[0]]
    axes.plot([points[k][0] for k in closed], [points[k][1] for k in closed],
              color="#4a5568", linewidth=1.2, zorder=1)
    for position, k in enumerate(route):
        x, y = points[k]
        first = position == 0
        axes.scatter(x, y, s=200 if first else 120, zorder=2, marker="s" if first else "o",
                     color="#1a202c" if first else COLOURS["work"])
        axes.annotate(str(position), (x, y), ha="center", va="center", color="white",
                      fontsize=8, zorder=3)
        if names is not None:
            axes.annotate(names[k], (x, y), textcoords="offset points", xytext=(9, 7),
                          fontsize=8)
    axes.margins(0.15)
    axes.grid(True, linewidth=0.4, alpha=0.5)


def draw_days(axes: Any, table: Timetable, opens: time, closes: time) -> None:
    """One row per day of the timetable: work and travel between ``opens``
    and ``closes`` (wall-clock time in the table's zone), each job labelled
    with its position in the route and the window it ran in drawn above it.
    Waits are left blank, nights are not drawn."""
    last = max(end for pieces in [*(visit.pieces for visit in table.visits),
                                  *(leg.pieces for leg in table.legs)] for _, end in pieces)
    first_day = table.days[0].date
    days = [first_day + timedelta(days=k)
            for k in range((table.local(last).date() - first_day).days + 1)]
    first_hour, last_hour = opens.hour, closes.hour + (closes.minute > 0)

    def bars(row: int, start: int, end: int, colour: str, height: float = 0.6,
             offset: float = 0.0) -> Optional[tuple[float, float]]:
        day = days[row]
        local = table.local(start), table.local(end)
        day_open = datetime.combine(day, opens, tzinfo=local[0].tzinfo)
        day_close = datetime.combine(day, closes, tzinfo=local[0].tzinfo)
        left, right = max(local[0], day_open), min(local[1], day_close)
        if left >= right:
            return None
        begin = opens.hour + (left - day_open) / timedelta(hours=1) + opens.minute / 60
        width = (right - left) / timedelta(hours=1)
        axes.barh(row + offset, width, left=begin, height=height, color=colour,
                  edgecolor="white" if offset == 0 else colour, linewidth=0.6 if offset == 0 else 0)
        return begin, width

    for row in range(len(days)):
        for leg in table.legs:
            for start, end in leg.pieces:
                bars(row, start, end, COLOURS["travel"])
        for visit in table.visits:
            for start, end in visit.pieces:
                drawn = bars(row, start, end, COLOURS["work"])
                if drawn is None:
                    continue
                axes.text(drawn[0] + drawn[1] / 2, row, str(visit.position), ha="center",
                          va="center", color="white", fontsize=7)
                if visit.window is not None:
                    bars(row, *visit.window, COLOURS["window"], height=0.07,
                         offset=-0.36 - 0.09 * (visit.position % 2))
    axes.set_yticks(range(len(days)), [f"{day:%a %d %b}" for day in days])
    axes.invert_yaxis()
    axes.set_xlim(first_hour, last_hour)
    axes.set_xticks(range(first_hour, last_hour + 1),
                    [f"{hour:02d}:00" for hour in range(first_hour, last_hour + 1)])
    axes.set_xlabel(f"time of day ({table.zone})")
    axes.grid(True, axis="x", linewidth=0.4, alpha=0.5)
