"""python -m tourwright_plan PLAN.json [--format json|csv] [--output FILE]

Reads a plan file, searches for the tour (beginning at its depot when it
names one) and writes the timetable. Nothing is written when the file is at
fault; the message names its line and field.
"""

from __future__ import annotations

import argparse
import csv
import io
import json
import os
import sys
import tempfile
from pathlib import Path
from typing import Optional

from tourwright_plan.plan_file import PlanFileError, read_plan
from tourwright_plan.problem import solve, solve_from
from tourwright_plan.timetable import timetable


def main(arguments: Optional[list[str]] = None) -> int:
    parser = argparse.ArgumentParser(prog="python -m tourwright_plan",
                                     description="Plan a tour of visits and write its timetable.")
    parser.add_argument("plan", type=Path, help="the plan file (JSON)")
    parser.add_argument("--format", choices=["json", "csv"],
                        help="output format (default: from the output's suffix, else json)")
    parser.add_argument("--output", type=Path, help="file to write (default: standard output)")
    options = parser.parse_args(arguments)
    try:
        plan_file = read_plan(options.plan)
    except PlanFileError as error:
        print(f"error: {error}", file=sys.stderr)
        return 2
    problem = plan_file.problem
    if plan_file.depot is None:
        plan = solve(problem, plan_file.time_limit)
    else:
        plan = solve_from(problem, plan_file.depot, plan_file.time_limit)
    table = timetable(plan, problem, plan_file.zone)
    kind = options.format or ("csv" if options.output and options.output.suffix == ".csv"
                              else "json")
    if kind == "csv":
        buffer = io.StringIO()
        rows = table.rows()
        writer = csv.DictWriter(buffer, fieldnames=list(rows[0]), lineterminator="\n")
        writer.writeheader()
        writer.writerows(rows)
        text = buffer.getvalue()
    else:
        text = json.dumps({"route": plan.route, "distance": plan.distance,
                           "timetable": table.to_dict(), "rows": table.rows()}, indent=1) + "\n"
    if options.output is None:
        sys.stdout.write(text)
    else:
        _write_whole(options.output, text)
    return 0


def _write_whole(path: Path, text: str) -> None:
    """Writes to a temporary file beside ``path``, then puts it in place, so
    that a reader never sees half a timetable."""
    handle, temporary = tempfile.mkstemp(dir=path.parent or Path("."), prefix=f".{path.name}.")
    try:
        with os.fdopen(handle, "w", encoding="utf-8") as out:
            out.write(text)
        os.replace(temporary, path)
    except BaseException:
        os.unlink(temporary)
        raise


if __name__ == "__main__":
    sys.exit(main())
