"""Smoke runs of the bundled examples, checking real properties of their output."""

import os
import re
import subprocess
import sys
from pathlib import Path

import pytest

ROOT = Path(__file__).resolve().parents[2]


def run(script: Path, *arguments: str) -> str:
    environment = dict(os.environ)
    environment["PYTHONPATH"] = os.pathsep.join(
        [str(ROOT / "examples"), environment.get("PYTHONPATH", "")])
    done = subprocess.run([sys.executable, str(script), *arguments], capture_output=True,
                          text=True, env=environment, timeout=120, check=True)
    return done.stdout


def field(output: str, label: str) -> str:
    """The text after "label:" on its line."""
    match = re.search(rf"^{re.escape(label)}:\s+(.*)$", output, re.MULTILINE)
    assert match, f"no {label!r} line in:\n{output}"
    return match.group(1)


def test_quickstart_plans_the_bundled_instance():
    output = run(ROOT / "examples" / "quickstart.py")
    route = re.search(r"Route:\s+\[([\d, ]+)\]", output).group(1)
    assert sorted(int(k) for k in route.split(",")) == list(range(21))
    assert re.search(r"Lateness: \d+ s", output)
    assert "Work" in output and "Travel" in output


def test_tsplib_example_reports_a_plausible_gap_to_the_optimum():
    output = run(ROOT / "examples" / "tsplib_tour.py", "berlin52", "--time-limit", "1")
    route = [int(city) for city in field(output, "Route").split()]
    assert sorted(route) == list(range(52))
    length, optimum = int(field(output, "Tour length")), int(field(output, "Optimum"))
    assert optimum == 7542
    gap = float(field(output, "Gap").removesuffix(" %"))
    assert length >= optimum  # the optimum is proven
    assert gap == round(100 * (length - optimum) / optimum, 2) and gap < 10


def test_tsplib_example_lists_the_instances_for_an_unknown_name():
    done = subprocess.run([sys.executable, str(ROOT / "examples" / "tsplib_tour.py"), "berlin53"],
                          capture_output=True, text=True, timeout=60)
    assert done.returncode == 2
    assert "no instance 'berlin53'; available: a280, berlin52," in done.stderr
    assert "Traceback" not in done.stderr


def test_technician_week_prints_a_week_with_a_job_over_closing_time():
    output = run(ROOT / "examples" / "technician_week.py", "--time-limit", "1")
    days = re.findall(r"^(Monday|Tuesday|Wednesday|Thursday|Friday) \d\d March 2025$", output,
                      re.MULTILINE)
    assert len(days) == len(set(days)) >= 3  # one heading per day, in order
    visited = field(output, "Route").split(" > ")
    assert visited[-1] == "back to " + visited[0]
    assert len(visited[:-1]) == len(set(visited[:-1])) == 12
    # 12 hours of work and 9 open hours a day: the job is split at 17:00.
    pieces = re.findall(r"^  (\d\d:\d\d)-(\S+)\s+work .*heat-pump commissioning$", output,
                        re.MULTILINE)
    assert len(pieces) >= 2 and any(end == "17:00" for _, end in pieces)
    assert re.fullmatch(r"\d+ s", field(output, "Lateness"))
    assert field(output, "Totals").startswith("work 32:45, ")  # sum of the job lengths


def test_tsptw_example_reports_lateness_and_gap_to_the_best_known_value():
    output = run(ROOT / "examples" / "tsptw_benchmark.py", "n20w20.001", "--time-limit", "1")
    route = [int(node) for node in field(output, "Route").split()]
    assert sorted(route) == list(range(21))
    assert re.fullmatch(r"\d+ s in tourwright \(\d+ visits after their due time\)",
                        field(output, "Lateness"))
    travel = re.fullmatch(r"(\d+) \(best known 378, (?:gap ([+-]\d+\.\d\d) %|no gap: infeasible)\)",
                          field(output, "Travel time"))
    assert travel, output
    if field(output, "Benchmark").startswith("feasible"):
        cost, gap = int(travel.group(1)), float(travel.group(2))
        assert cost >= 378  # the best known value of this instance is proven optimal
        assert gap == round(100 * (cost - 378) / 378, 2) and gap < 20


def test_plot_example_writes_a_png(tmp_path):
    pytest.importorskip("matplotlib", reason="the example draws with matplotlib")
    target = tmp_path / "week.png"
    output = run(ROOT / "examples" / "plot_week.py", "--output", str(target), "--time-limit", "1")
    assert output.startswith(f"Wrote {target} ")
    data = target.read_bytes()
    assert data[:8] == b"\x89PNG\r\n\x1a\n"
    width, height = int.from_bytes(data[16:20], "big"), int.from_bytes(data[20:24], "big")
    assert (width, height) == (1650, 682)
    assert len(data) > 50_000  # two filled panels, not a blank canvas
