"""The side-by-side comparison harness (bench/peers/): its checker on
hand-checkable tours, and a smoke run with whatever peers are installed and
with none."""

import subprocess
import sys
from pathlib import Path

import pytest

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "bench" / "peers"))

from checker import Score, score  # noqa: E402
from families import Instance  # noqa: E402
from solvers import SOLVERS, installed, version  # noqa: E402

SQUARE = [[0, 1, 2, 1], [1, 0, 1, 2], [2, 1, 0, 1], [1, 2, 1, 0]]  # four corners
# Leaving the depot at 0: 1 is ready at 5 and due at 6, 2 due at 3, 3 due at 20.
WINDOWS = [(0, 20), (5, 6), (0, 3), (0, 20)]
T0 = 1_700_000_000


@pytest.mark.parametrize("family, route, expected", [
    ("tsplib", [0, 1, 2, 3], Score(True, 4)),
    ("tsplib", [0, 2, 1, 3], Score(True, 6)),
    ("tsplib", [0, 1, 1, 3], None),  # not a tour of every location
    ("tsplib", [0, 1, 2], None),
    # 0 → 1 arrives at 1, waits until 5; 2 at 6 > 3 is late; back at 8 ≤ 20.
    ("tsptw", [0, 1, 2, 3], Score(False, 4, 1)),
    # 0 → 2 at 2; 1 at 3, waits to 5; 3 at 7; back at 8: every visit in time.
    ("tsptw", [0, 2, 1, 3], Score(True, 6, 0)),
    # Read from the depot on: the same tour as the one before.
    ("tsptw", [1, 3, 0, 2], Score(True, 6, 0)),
])
def test_checker_scores_the_tour_by_the_family_rules(family, route, expected):
    instance = Instance("hand/" + family, family, SQUARE, windows=WINDOWS)
    assert score(instance, route) == expected


def test_checker_reads_our_model_through_its_plain_twin():
    # 60-second jobs, 100 s of driving per leg; location 2 closes 30 s after the
    # schedule starts, so its job ends late in any order but 2 first.
    model = dict(duration_matrix=[[100 * (a != b) for b in range(3)] for a in range(3)],
                 job_durations=[60, 60, 60],
                 time_windows=[[(T0, T0 + 10_000)], [(T0, T0 + 10_000)], [(T0, T0 + 30)]])
    instance = Instance("hand/ours", "ours", [[0, 5, 5], [5, 0, 5], [5, 5, 0]], model=model)
    # 0: 0–60, drive to 1 until 160, work until 220, drive to 2 until 320,
    # work until 380: late 380 − 30 = 350 s; three legs of 100 s.
    assert score(instance, [0, 1, 2]) == Score(False, 300, 350)
    # The schedule starts at 2's window: 2 works 0–60, late 30 s.
    assert score(instance, [2, 0, 1]) == Score(False, 300, 30)


def run_harness(tmp_path, *arguments):
    done = subprocess.run([sys.executable, str(ROOT / "bench" / "peers" / "compare.py"),
                           "--smoke", "--out", str(tmp_path), *arguments],
                          capture_output=True, text=True, timeout=300)
    assert done.returncode == 0, done.stderr
    return (tmp_path / "comparison.md").read_text(), done.stderr


@pytest.mark.parametrize("solvers", [list(SOLVERS), ["tourwright"]],
                         ids=["installed peers", "no peer"])
def test_smoke_run_writes_both_files_with_a_cell_per_run(tmp_path, solvers):
    pytest.importorskip("matplotlib", reason="the harness draws its picture with matplotlib")
    page, notes = run_harness(tmp_path, "--solvers", *solvers)
    assert (tmp_path / "comparison.png").stat().st_size > 0
    present = [name for name in solvers if installed(name)]
    for name in solvers:
        if name in present:
            assert f"{name} {version(name)}" in page
        else:
            assert f"note: {name} is not installed; skipped" in notes
    rows = [line for line in page.splitlines() if line.startswith("| ") and " n " not in line]
    assert len(rows) == 3 * len(present)  # one per tiny instance and solver
    for row in rows:
        if "| tourwright |" in row:
            assert "(" in row and "cannot express" not in row  # scored every time
