"""examples/batch_solve.py: the same results sequentially, in a process pool
and on a local Ray instance, and a failing instance that keeps its own
exception and loses none of the other results."""

import importlib.util
import os
import sys
from pathlib import Path

import pytest

EXAMPLES = Path(__file__).resolve().parents[2] / "examples"
sys.path.insert(0, str(EXAMPLES))
import batch_solve  # noqa: E402

# A window that ends before it starts fails its own call only.
BROKEN = dict(batch_solve.technician_day(7, 6, None),
              time_windows=[[(10, 5)]] + [[(0, 10**6)]] * 5)


def batch():
    instances = [batch_solve.technician_day(seed, 10, None) for seed in range(6)]
    instances.insert(3, BROKEN)
    return instances


def ray_available():
    # Found without importing it: the local instance's settings are read at
    # its first import, in batch_solve.ray_instance.
    if os.environ.get("TOURWRIGHT_SANITIZED"):
        return False  # Ray's own processes would inherit the sanitizer preload
    return importlib.util.find_spec("ray") is not None


NEEDS_RAY = pytest.mark.skipif(not ray_available(),
                               reason="Ray is not installed (pip install --group distributed)")
MODES = ["pool", pytest.param("ray", marks=NEEDS_RAY)]


@pytest.fixture(scope="module")
def sequential():
    return batch_solve.solve_sequentially(batch(), 1, None)


def test_a_failing_instance_keeps_its_message_and_the_others_their_results(sequential):
    assert sequential[3] == {"error": ("PanicException", "assertion failed: start <= end")}
    results = [outcome["result"] for k, outcome in enumerate(sequential) if k != 3]
    assert len(results) == 6
    for result in results:
        assert sorted(result.route) == list(range(10))
        assert result.duration == (result.working_time + result.waiting_time
                                   + result.traveling_time)
        assert result.events[0].kind in {"work", "wait", "travel"}


@pytest.mark.parametrize("mode", MODES)
def test_every_mode_gives_the_sequential_outcomes(mode, sequential):
    outcomes = batch_solve.MODES[mode](batch(), 2, None)
    assert outcomes == sequential


@NEEDS_RAY
def test_a_local_ray_instance_listens_on_loopback_only():
    with batch_solve.ray_instance(1, None) as ray:
        assert {node["NodeManagerAddress"] for node in ray.nodes()} == {"127.0.0.1"}
        assert ray.util.get_node_ip_address() == "127.0.0.1"
