"""The type stub against the built module, and the examples against the stub.

Runs mypy's stubtest and mypy itself (Debian: python3-mypy) in a subprocess,
with the stub from src/python and the module from the build directory on the
path. Skipped where mypy is not installed.
"""

import ast
import os
import re
import subprocess
import sys
from pathlib import Path

import pytest

ROOT = Path(__file__).resolve().parents[2]
STUB = ROOT / "src" / "python" / "tourwright.pyi"
KIT = ROOT / "src" / "tourwright_plan"
TYPING = ROOT / "tests" / "typing"

pytest.importorskip("mypy")


def run_mypy_tool(arguments, cwd):
    environment = dict(os.environ)
    inherited = [os.path.abspath(entry)
                 for entry in environment.get("PYTHONPATH", "").split(os.pathsep) if entry]
    environment["PYTHONPATH"] = os.pathsep.join([str(TYPING), *inherited])
    environment["MYPYPATH"] = os.pathsep.join([str(STUB.parent), str(TYPING), str(KIT.parent)])
    return subprocess.run([sys.executable, "-m", *arguments], cwd=cwd, env=environment,
                          capture_output=True, text=True, timeout=300)


def test_stubtest_finds_no_difference(tmp_path):
    done = run_mypy_tool(["mypy.stubtest", "--allowlist", str(TYPING / "stubtest-allowlist.txt"),
                          "tourwright", "tourwright_events"], cwd=tmp_path)
    assert done.returncode == 0, done.stdout + done.stderr
    assert "Success: no issues found in 2 modules" in done.stdout


def test_examples_type_check_against_the_stub(tmp_path):
    examples = sorted(str(path) for path in (ROOT / "examples").glob("*.py"))
    done = run_mypy_tool(["mypy", "--config-file", str(ROOT / "pyproject.toml"),
                          "--cache-dir", str(tmp_path / "cache"), *examples], cwd=ROOT)
    assert done.returncode == 0, done.stdout + done.stderr
    assert f"no issues found in {len(examples)} source files" in done.stdout


def test_the_planning_kit_passes_mypy_strict(tmp_path):
    assert (KIT / "py.typed").is_file()
    done = run_mypy_tool(["mypy", "--strict", "--cache-dir", str(tmp_path / "cache"),
                          "-p", "tourwright_plan"], cwd=tmp_path)
    assert done.returncode == 0, done.stdout + done.stderr


def readme_snippets():
    pages = [ROOT / "README.md", *sorted((ROOT / "docs").glob("*.md"))]
    readme = "\n".join(page.read_text() for page in pages)
    return [match.group(1) for match in re.finditer(r"```python\n(.*?)```\n", readme, re.DOTALL)]


@pytest.mark.parametrize("index", range(len(readme_snippets())))
def test_readme_snippets_pass_mypy_strict(index, tmp_path):
    snippet = tmp_path / f"snippet{index}.py"
    snippet.write_text(readme_snippets()[index])
    done = run_mypy_tool(["mypy", "--strict", "--cache-dir", str(tmp_path / "cache"),
                          str(snippet)], cwd=tmp_path)
    assert done.returncode == 0, done.stdout + done.stderr


def test_mypy_rejects_misuse(tmp_path):
    misuse = tmp_path / "misuse.py"
    misuse.write_text(
        "import tourwright\n"
        "out = tourwright.solve([[0]], time_windows=[[[0, 1]]])\n"  # windows must be tuples
        "tourwright.solve('ab')\n"
        "out.route = []\n"                                        # read-only
        "late: int = out.lateness\n"                              # Optional[int]
        "tourwright.solve({0: [0]})\n")                           # the module refuses dicts
    done = run_mypy_tool(["mypy", "--strict", "--cache-dir", str(tmp_path / "cache"),
                          str(misuse)], cwd=tmp_path)
    assert done.returncode == 1
    for line in (2, 3, 4, 5, 6):
        assert f"misuse.py:{line}: error" in done.stdout, done.stdout


def test_mypy_accepts_what_the_module_accepts(tmp_path):
    # NumPy integer scalars wherever an integer goes: the module reads them
    # through __index__.
    use = tmp_path / "use.py"
    use.write_text(
        "import numpy as np\n"
        "import tourwright\n"
        "t = np.int64(1_700_000_000)\n"
        "tourwright.solve(np.zeros((2, 2), dtype=np.uint32), [[0, 1], [1, 0]], [1, 1],\n"
        "                 [[(t, t + np.int64(10))], [(0, 10**10)]], (np.uint16(0), 3600),\n"
        "                 time_limit=np.int32(1))\n")
    done = run_mypy_tool(["mypy", "--strict", "--cache-dir", str(tmp_path / "cache"),
                          str(use)], cwd=tmp_path)
    assert done.returncode == 0, done.stdout + done.stderr


def stub_classes():
    """Names each class of the stub declares, attributes and methods alike."""
    classes = {}
    for node in ast.parse(STUB.read_text()).body:
        # Underscored classes (the argument protocol) exist for type checkers only.
        if isinstance(node, ast.ClassDef) and not node.name.startswith("_"):
            names = set()
            for item in node.body:
                if isinstance(item, ast.FunctionDef):
                    names.add(item.name)
                elif isinstance(item, ast.AnnAssign) and isinstance(item.target, ast.Name):
                    names.add(item.target.id)
            classes[node.name] = names
    return classes


# Declared in the stub for type checkers only (see stubtest-allowlist.txt),
# or supplied by the interpreter's slots rather than the class dictionary.
STUB_ONLY = {"__iter__", "__new__"}


def test_every_stub_class_declares_exactly_the_runtime_members():
    # stubtest does not report class variables (such as PyEvent.Work) that
    # exist in the stub but not at run time; compare the names directly.
    sys.path.insert(0, str(TYPING))
    try:
        import tourwright_events
        import tourwright
    finally:
        sys.path.remove(str(TYPING))
    runtime = {name: getattr(tourwright_events, name) for name in tourwright_events.__all__}
    runtime["PyOutput"] = tourwright.PyOutput
    declared = stub_classes()
    assert set(declared) == set(runtime)
    for name, cls in runtime.items():
        members = {member for member in vars(cls)
                   if member not in {"__doc__", "__module__", "__new__", "__text_signature__"}}
        assert declared[name] - STUB_ONLY == members, name
