"""The code of the README and of the docs pages, and the facts they state.

Every ```python block of those pages runs as a script. Where a ```text block
follows it directly, that block is the exact output the script must print.
"""

import itertools
import re
import subprocess
import sys
from pathlib import Path

import pytest

import reference_model as model

ROOT = Path(__file__).resolve().parents[2]
PAGES = [ROOT / "README.md", *sorted((ROOT / "docs").glob("*.md"))]
README = "\n".join(page.read_text() for page in PAGES)

# (code, expected output or None), in page order, the README first.
BLOCKS = [(match.group(1), match.group(2))
          for match in re.finditer(r"```python\n(.*?)```\n(?:\n```text\n(.*?)```\n)?",
                                   README, re.DOTALL)]


def run(code: str, tmp_path: Path) -> str:
    script = tmp_path / "snippet.py"
    script.write_text(code)
    done = subprocess.run([sys.executable, str(script)], capture_output=True, text=True,
                          timeout=120, cwd=tmp_path)
    assert done.returncode == 0, done.stderr
    return done.stdout


def test_the_readme_has_code_with_outputs():
    assert len(BLOCKS) >= 4
    assert sum(expected is not None for _, expected in BLOCKS) >= 3


@pytest.mark.parametrize("index", range(len(BLOCKS)))
def test_readme_python_block(index, tmp_path):
    code, expected = BLOCKS[index]
    output = run(code, tmp_path)
    if expected is not None:
        assert output == expected
    else:
        assert output  # every snippet prints something


def test_usage_snippet_prints_route_totals_and_events(tmp_path):
    lines = run(BLOCKS[0][0], tmp_path).splitlines()
    assert re.fullmatch(r"\[\d, \d, \d\] \d+ \d+ \d+", lines[0])
    assert sorted(int(k) for k in re.findall(r"\d", lines[0][:9])) == [0, 1, 2]
    assert any(line.startswith("PyEvent_Work (") for line in lines[1:])


# The worked example, evaluated for every order with the Python model.
H, M = 3600, 60
MON = 1_740_960_000  # 2025-03-03T00:00:00Z
MINUTES = [[0, 20, 40, 30], [20, 0, 30, 40], [40, 30, 0, 20], [30, 40, 20, 0]]
WINDOWS = [[(MON + 8 * H, MON + 8 * H + 30 * M)],
           [(MON + 9 * H, MON + 11 * H), (MON + 13 * H, MON + 15 * H)],
           [(MON + 14 * H, MON + 36 * H)],
           [(MON + 8 * H, MON + 9 * H + 30 * M)]]


def test_worked_example_claims_hold_for_all_orders():
    assert "MON = int(datetime(2025, 3, 3, tzinfo=timezone.utc).timestamp())" in README
    scheduler = model.from_arguments([[m * M for m in row] for row in MINUTES],
                                     [15 * M, 90 * M, 3 * H, 60 * M], WINDOWS, (8 * H, 17 * H))
    penalizer = model.Penalizer(MINUTES, scheduler)
    ranked = {}
    for order in itertools.permutations(range(4)):
        solution = model.penalize(penalizer, list(order), False)
        report = solution.time_report
        ranked[order] = (report.lateness, report.traveling_time, report.duration,
                         report.waiting_time, solution.distance)
    best = min(ranked, key=ranked.__getitem__)
    assert best == (0, 3, 1, 2)
    assert list(ranked.values()).count(ranked[best]) == 1
    assert ranked[(0, 1, 2, 3)][0] == 23 * H + 50 * M and ranked[(0, 1, 2, 3)][4] == 100
    assert ranked[(3, 0, 1, 2)][0] == 75 * M and ranked[(3, 0, 1, 2)][1] == 100 * M


def test_push_back_examples_of_the_time_windows_section():
    from tourwright import solve

    def placed(job_hours):
        out = solve([[0]], [[0]], [job_hours * H], [[(9 * H, 11 * H), (13 * H, 20 * H)]])
        work = [event._0.window for event in out.schedule
                if type(event).__name__ == "PyEvent_Work"]
        return work[0][0] // H, out.lateness

    assert "a 3-hour job moves to 13:00 and a 5-hour\n  job to 14:00" in README
    assert placed(3) == (13, 0)
    assert placed(5) == (14, 0)
    assert placed(12) == (9, H)  # after the last window: at once, one hour late
