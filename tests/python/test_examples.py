"""Smoke runs of the bundled examples and of the README's usage snippet."""

import os
import re
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]


def run(script: Path) -> str:
    environment = dict(os.environ)
    environment["PYTHONPATH"] = os.pathsep.join(
        [str(ROOT / "examples"), environment.get("PYTHONPATH", "")])
    done = subprocess.run([sys.executable, str(script)], capture_output=True, text=True,
                          env=environment, timeout=120, check=True)
    return done.stdout


def test_quickstart_plans_the_bundled_instance():
    output = run(ROOT / "examples" / "quickstart.py")
    route = re.search(r"Route:\s+\[([\d, ]+)\]", output).group(1)
    assert sorted(int(k) for k in route.split(",")) == list(range(21))
    assert re.search(r"Lateness: \d+ s", output)
    assert "Work" in output and "Travel" in output


def test_readme_usage_snippet_runs(tmp_path):
    readme = (ROOT / "README.md").read_text()
    snippet = readme.split("```python", 1)[1].split("```", 1)[0]
    script = tmp_path / "snippet.py"
    script.write_text(snippet)
    lines = run(script).splitlines()
    assert re.fullmatch(r"\[\d, \d, \d\] \d+ \d+ \d+", lines[0])
    assert any(line.startswith("PyEvent_Work") for line in lines[1:])
