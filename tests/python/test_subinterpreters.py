"""A second interpreter of the same process cannot use the module: its import
fails with ImportError, and the interpreter that has it keeps working. Each
case runs in a fresh process, since the first import claims the module for
the rest of the process."""

import json
import subprocess
import sys
from pathlib import Path

import pytest

PROBE = Path(__file__).resolve().with_name("subinterpreter_probe.py")

pytest.importorskip("_xxsubinterpreters" if sys.version_info < (3, 13) else "_interpreters")


def probe(order):
    done = subprocess.run([sys.executable, str(PROBE), order], capture_output=True, text=True,
                          timeout=60, check=True)
    return json.loads(done.stdout)


def test_import_from_a_second_interpreter_fails_and_the_first_keeps_working():
    outcomes = probe("main-first")
    assert outcomes["main"] == {"imported": True, "route": [0, 1]}
    assert outcomes["sub"]["imported"] is False
    assert "subinterpreters" in outcomes["sub"]["error"]
    assert outcomes["main_after"] == {"imported": True, "route": [0, 1]}


def test_whichever_interpreter_imports_first_keeps_the_module():
    outcomes = probe("sub-first")
    imported = [name for name in ("sub", "main") if outcomes[name]["imported"]]
    assert len(imported) == 1
    refused = "main" if imported == ["sub"] else "sub"
    assert "subinterpreters" in outcomes[refused]["error"]
