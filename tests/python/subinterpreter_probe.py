"""Imports tourwright in the main interpreter and in a second one, in the
order given, and prints what each import did as one JSON object. Runs on any
CPython that offers a way to create a subinterpreter (3.11 to 3.13).

usage: subinterpreter_probe.py (main-first|sub-first) [isolated|legacy]
"""

import json
import os
import sys
import tempfile

try:
    import _interpreters as interpreters  # 3.13
except ImportError:
    import _xxsubinterpreters as interpreters  # 3.11, 3.12

SUB_IMPORT = """
import json
try:
    import tourwright
    outcome = {{"imported": True, "route": tourwright.solve([[0, 1], [1, 0]]).route}}
except ImportError as error:
    outcome = {{"imported": False, "error": str(error)}}
with open({path!r}, "w") as report:
    json.dump(outcome, report)
"""


def import_in_main():
    try:
        import tourwright
    except ImportError as error:
        return {"imported": False, "error": str(error)}
    return {"imported": True, "route": tourwright.solve([[0, 1], [1, 0]]).route}


def import_in_subinterpreter(config):
    interpreter = (interpreters.create(config) if interpreters.__name__ == "_interpreters"
                   else interpreters.create())
    handle, path = tempfile.mkstemp(suffix=".json")
    os.close(handle)
    try:
        interpreters.run_string(interpreter, SUB_IMPORT.format(path=path))
        with open(path) as report:
            return json.load(report)
    finally:
        interpreters.destroy(interpreter)
        os.unlink(path)


order = sys.argv[1]
config = sys.argv[2] if len(sys.argv) > 2 else "legacy"
if order == "main-first":
    outcomes = {"main": import_in_main(), "sub": import_in_subinterpreter(config)}
    outcomes["main_after"] = import_in_main()
else:
    outcomes = {"sub": import_in_subinterpreter(config), "main": import_in_main()}
print(json.dumps(outcomes))
