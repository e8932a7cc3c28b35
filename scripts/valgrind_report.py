"""Reads memcheck's XML report of a Python session and fails when any error or
definite leak has a frame in the extension module. The interpreter's own
allocations that live until exit are counted but not held against us.

usage: valgrind_report.py REPORT.xml
"""

import sys
import xml.etree.ElementTree as ElementTree

MODULE_MARK = "tourwright"
LEAK_KINDS = {"Leak_DefinitelyLost", "Leak_IndirectlyLost", "Leak_PossiblyLost",
              "Leak_StillReachable"}


def frames(error):
    return [(frame.findtext("obj") or "", frame.findtext("fn") or "")
            for frame in error.iter("frame")]


def leaked_bytes(error):
    text = error.findtext("xwhat/leakedbytes")
    return int(text) if text else 0


def main(path):
    root = ElementTree.parse(path).getroot()
    totals = {}
    ours = []
    for error in root.iter("error"):
        kind = error.findtext("kind")
        totals.setdefault(kind, [0, 0])
        totals[kind][0] += 1
        totals[kind][1] += leaked_bytes(error)
        in_module = any(MODULE_MARK in obj or MODULE_MARK in fn for obj, fn in frames(error))
        # Possibly lost and still reachable blocks at exit are the
        # interpreter's business; everything else in our frames is a defect.
        if in_module and kind not in ("Leak_PossiblyLost", "Leak_StillReachable"):
            ours.append(error)
    for kind, (count, size) in sorted(totals.items()):
        suffix = f", {size} bytes" if kind in LEAK_KINDS else ""
        print(f"  {kind}: {count} record(s){suffix}")
    if not totals:
        print("  no errors and no leak records")
    for error in ours:
        print(f"\nin the module: {error.findtext('kind')}: "
              f"{error.findtext('what') or error.findtext('xwhat/text')}")
        for obj, fn in frames(error)[:12]:
            print(f"    {fn}  ({obj})")
    print(f"errors or definite leaks with a frame in the module: {len(ours)}")
    return 1 if ours else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
