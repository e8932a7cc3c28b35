"""Lengths that sequences report are only a hint for reserving memory: a
lying __len__ must not make a small input reserve a huge amount.

Each case runs in a child process whose address space is limited to 1 GiB,
where reserving even a few GiB fails with MemoryError.
"""

import os
import subprocess
import sys
import textwrap

import pytest

SANITIZED = os.environ.get("TOURWRIGHT_SANITIZED") == "1"

CHILD = textwrap.dedent("""
    import resource, sys
    import tourwright

    class LyingList(list):
        def __len__(self):
            return 2**60

    class LyingSequence:
        def __init__(self, items):
            self.items = items
        def __len__(self):
            return 2**60
        def __getitem__(self, index):
            return self.items[index]

    resource.setrlimit(resource.RLIMIT_AS, (1 << 30, 1 << 30))
    row = {row}
    try:
        tourwright.solve([row] * {rows})
    except MemoryError:
        print("MemoryError")
    except BaseException as error:
        print(type(error).__name__, error)
""")


@pytest.mark.skipif(SANITIZED, reason="the sanitizers need far more address space than 1 GiB")
@pytest.mark.parametrize("row", ["LyingList([0])", "LyingSequence([0])"])
def test_many_references_to_a_lying_row_reserve_little(row):
    done = subprocess.run([sys.executable, "-c", CHILD.format(row=row, rows=5000)],
                          capture_output=True, text=True, timeout=60, check=True)
    # Extraction went through: the call fails only at evaluation, on the
    # second location of a one-entry row.
    assert done.stdout.strip() == (
        "PanicException index out of bounds: the len is 1 but the index is 1")
