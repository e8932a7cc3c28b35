"""The planning kit: exact evaluation of a chosen order, timetables whose
parts add up to the module's totals, plans that begin at a depot, matrices
from coordinates, wall-clock hours, and the plan-file command line."""

import json
import pickle
import random
import subprocess
import sys
from datetime import time
from pathlib import Path

import pytest

import reference_model as model
import tourwright_plan as kit
from test_fast_against_model import instance

FAMILIES = ["loose", "tight", "hours", "late"]


def problem_of(family, seed):
    arguments = instance(family, seed)
    return kit.Problem(arguments["distance_matrix"], arguments["duration_matrix"],
                       arguments["job_durations"], arguments["time_windows"],
                       arguments["operation_times"])


def shuffled(n, seed):
    order = list(range(n))
    random.Random(seed).shuffle(order)
    return order


@pytest.mark.parametrize("seed", range(4))
@pytest.mark.parametrize("family", FAMILIES)
def test_an_order_is_evaluated_as_the_literal_schedule_of_that_route(family, seed):
    problem = problem_of(family, seed)
    order = shuffled(problem.size, seed)
    plan = kit.evaluate(problem, order)
    scheduler = model.from_arguments(problem.duration_matrix, problem.job_durations,
                                     problem.time_windows, problem.operation_times)
    literal = model.penalize(model.Penalizer(problem.distance_matrix, scheduler), order, True)
    report = literal.time_report
    assert plan.route == order and plan.iterations == 0
    assert plan.distance == literal.distance
    assert (plan.duration, plan.lateness, plan.working_time, plan.waiting_time,
            plan.traveling_time, plan.start_time, plan.end_time) == report.totals()
    assert [(e.kind, e.location, e.start, e.end) if e.kind == "work" else (e.kind, e.start, e.end)
            for e in plan.events] == [tuple(event) for event in report.events]


@pytest.mark.parametrize("seed", range(4))
@pytest.mark.parametrize("family", FAMILIES)
def test_a_timetable_adds_up_to_the_plans_totals(family, seed):
    problem = problem_of(family, seed)
    plan = kit.solve(problem)
    table = kit.timetable(plan, problem, "America/New_York")
    assert (table.lateness, table.working_time, table.waiting_time, table.traveling_time) == (
        plan.lateness, plan.working_time, plan.waiting_time, plan.traveling_time)
    assert [visit.location for visit in table.visits] == plan.route
    assert [(leg.origin, leg.destination) for leg in table.legs] == list(
        zip(plan.route, plan.route[1:] + plan.route[:1]))
    for visit in table.visits:
        assert sum(end - start for start, end in visit.pieces) == problem.job_durations[
            visit.location]
        assert visit.arrival <= visit.start <= visit.end
        if visit.window is not None:
            assert visit.window in problem.time_windows[visit.location]
            assert visit.window[0] <= visit.start <= visit.window[1]
    listed = [visit for day in table.days for visit in day.visits]
    assert [visit for k, visit in enumerate(listed) if visit not in listed[:k]] == table.visits
    assert kit.Timetable.from_json(table.to_json()) == table
    assert pickle.loads(pickle.dumps(table)) == table
    assert pickle.loads(pickle.dumps(plan)) == plan


@pytest.mark.parametrize("depot", [0, 5, 8])
def test_a_plan_from_a_depot_begins_there_and_is_its_own_evaluation(depot):
    problem = problem_of("hours", 1)
    plan = kit.solve_from(problem, depot, time_limit=0)
    assert plan.route[0] == depot and sorted(plan.route) == list(range(problem.size))
    evaluated = kit.evaluate(problem, plan.route)
    assert (plan.lateness, plan.events, plan.distance) == (
        evaluated.lateness, evaluated.events, evaluated.distance)


@pytest.mark.parametrize("order, message", [
    ([0, 1], "must list each of the"),
    ([0, 0, 1, 2, 3, 4, 5, 6, 7, 8], "must list each of the"),
])
def test_an_order_that_is_not_a_permutation_is_refused(order, message):
    with pytest.raises(ValueError, match=message):
        kit.evaluate(kit.Problem([[0] * 10] * 10), order)


def test_matrices_from_coordinates():
    berlin, paris = (52.5200, 13.4050), (48.8566, 2.3522)
    roads = kit.great_circle([berlin, paris], road_factor=1.2, speed_kmh=100)
    assert abs(roads.metres[0][1] - 1.2 * 877_500) < 1_500  # about 877.5 km apart
    assert roads.seconds[0][1] == round(roads.metres[0][1] * 0.036)
    flat = kit.planar([(0, 0), (3, 4)], metres_per_unit=1000, speed_kmh=36)
    assert flat.metres == [[0, 5000], [5000, 0]] and flat.seconds == [[0, 500], [500, 0]]
    with pytest.raises(ValueError, match="road_factor"):
        kit.planar([(0, 0)], road_factor=0.5)


def test_matrices_are_the_same_without_numpy(monkeypatch):
    rng = random.Random(3)
    points = [(rng.uniform(-60, 60), rng.uniform(-180, 180)) for _ in range(30)]
    with_numpy = kit.great_circle(points, 1.3), kit.planar(points, 10.0)
    monkeypatch.setitem(sys.modules, "numpy", None)  # import numpy now fails
    without = kit.great_circle(points, 1.3), kit.planar(points, 10.0)
    for fast, plain in zip(with_numpy, without):
        differences = [abs(a - b) for rows in zip(fast.metres, plain.metres)
                       for a, b in zip(*rows)]
        assert max(differences) <= 1  # floating-point rounding only


@pytest.mark.parametrize("zone, day, hours", [
    ("Europe/Berlin", "2025-03-03", (7 * 3600, 16 * 3600)),
    ("Europe/Berlin", "2025-07-01", (6 * 3600, 15 * 3600)),
    ("America/New_York", "2025-01-15", (13 * 3600, 22 * 3600)),
    ("UTC", "2025-01-15", (8 * 3600, 17 * 3600)),
    ("Europe/Berlin", "2025-03-29", "changes over the planned days"),  # and the 30th
    ("Australia/Sydney", "2025-01-15", "reaches midnight UTC"),
])
def test_wall_clock_hours_as_the_modules_daily_hours(zone, day, hours):
    from datetime import date, timedelta
    first = date.fromisoformat(day)
    days = [first, first + timedelta(days=1)]
    if isinstance(hours, str):
        with pytest.raises(ValueError, match=hours):
            kit.operating_hours(time(8), time(17), zone, days)
    else:
        assert kit.operating_hours(time(8), time(17), zone, days) == hours


GOOD_PLAN = {
    "time_zone": "Europe/Berlin", "hours": ["08:00", "17:00"], "time_limit": 1,
    "depot": "Office", "road_factor": 1.3, "speed_kmh": 30,
    "sites": [
        {"name": "Clinic", "at": [52.53, 13.41], "job_minutes": 30,
         "windows": [["2025-03-03T09:00", "2025-03-03T12:00"]]},
        {"name": "Office", "at": [52.52, 13.405], "job_minutes": 15,
         "windows": [["2025-03-03T08:00", "2025-03-03T08:15"]]},
        {"name": "Bakery", "at": [52.50, 13.38], "job_minutes": 45,
         "windows": [["2025-03-03T13:00", "2025-03-03T17:00"],
                     ["2025-03-04T08:00", "2025-03-04T12:00"]]},
    ],
}


def run_cli(tmp_path, plan, *options):
    path = tmp_path / "plan.json"
    path.write_text(plan if isinstance(plan, str) else json.dumps(plan, indent=1))
    return subprocess.run([sys.executable, "-m", "tourwright_plan", str(path), *options],
                          capture_output=True, text=True, timeout=60, cwd=tmp_path)


def test_the_command_line_writes_the_timetable_as_json_and_csv(tmp_path):
    done = run_cli(tmp_path, GOOD_PLAN, "--output", "out.json")
    assert done.returncode == 0, done.stderr
    written = json.loads((tmp_path / "out.json").read_text())
    assert written["route"][0] == 1  # the depot
    table = kit.Timetable.from_dict(written["timetable"])
    assert [visit.name for visit in table.visits][0] == "Office"
    assert table.zone == "Europe/Berlin" and table.lateness == 0
    assert written["rows"][0]["start"] == "2025-03-03T08:00:00+01:00"
    done = run_cli(tmp_path, GOOD_PLAN, "--output", "out.csv")
    lines = (tmp_path / "out.csv").read_text().splitlines()
    assert lines[0].startswith("kind,position,location,name,")
    assert len(lines) == 1 + 3 + 3  # three visits and three legs


@pytest.mark.parametrize("edit, message", [
    (lambda p: "{\n \"sites\": [\n  {,]}", "line 3: not JSON"),
    (lambda p: {**p, "time_zone": "Mars/Olympus"}, "line 2: time_zone: unknown time zone"),
    (lambda p: {**p, "depot": "Garage"}, "line 8: depot: expected a site's name or index"),
    (lambda p: {**p, "colour": "red"}, "line 59: colour: unknown field"),
    (lambda p: {**p, "hours": ["8 am", "17:00"]}, "line 3: hours[0]: expected a time of day"),
    (lambda p: {**p, "sites": [*p["sites"][:2], {**p["sites"][2], "windows": [
        ["2025-03-04T08:00", "2025-03-04T12:00"], ["2025-03-03T13:00", "2025-03-03T17:00"]]}]},
     "line 52: sites[2].windows[1]: overlaps or precedes the window before it"),
    (lambda p: {**p, "sites": [{**p["sites"][0], "job_minutes": "half an hour"}, *p["sites"][1:]]},
     "line 18: sites[0].job_minutes: expected a number"),
    (lambda p: {**p, "sites": [{**p["sites"][0], "windows": [["2025-03-03T09:00", "noon"]]},
                               *p["sites"][1:]]},
     "line 20: sites[0].windows[0][1]: Invalid isoformat string"),
    (lambda p: {**p, "sites": [{"name": "A", "windows": []}],
                "distance_matrix": [[0, 1]], "duration_matrix": [[0]]},
     "line 18: distance_matrix[0]: expected 1 whole numbers"),
])
def test_a_faulty_plan_file_is_named_by_line_and_field_and_nothing_is_written(
        tmp_path, edit, message):
    done = run_cli(tmp_path, edit(GOOD_PLAN), "--output", "out.json")
    assert done.returncode == 2
    assert message in done.stderr, done.stderr
    assert "Traceback" not in done.stderr
    assert not (tmp_path / "out.json").exists()


H = 3600
MONDAY = 1_740_960_000  # 2025-03-03T00:00:00Z


def test_a_job_split_over_days_and_a_job_of_no_length():
    # The office (no work), then a 20-hour job under hours 08:00-17:00: nine
    # hours on each of two days and two on the third, a night between each.
    problem = kit.Problem([[0, 5], [5, 0]], [[0, H], [H, 0]], [0, 20 * H],
                          [[(MONDAY + 8 * H, MONDAY + 9 * H)], [(MONDAY, MONDAY + 30 * 24 * H)]],
                          (8 * H, 17 * H))
    table = kit.timetable(kit.evaluate(problem, [0, 1]), problem, "UTC")
    office, job = table.visits
    assert office.pieces == [] and office.start == office.end == office.arrival == MONDAY + 8 * H
    assert job.arrival == MONDAY + 9 * H
    assert job.pieces == [(MONDAY + 9 * H, MONDAY + 17 * H),
                          (MONDAY + 32 * H, MONDAY + 41 * H),
                          (MONDAY + 56 * H, MONDAY + 59 * H)]
    assert job.waiting == 2 * 15 * H and job.lateness == 0
    assert [(day.date.day, [v.location for v in day.visits], len(day.legs))
            for day in table.days] == [(3, [0, 1], 1), (4, [1], 0), (5, [1], 1)]
    assert (table.working_time, table.waiting_time) == (20 * H, 30 * H)


def test_a_plan_without_time_data_has_no_timetable():
    problem = kit.Problem([[0, 2, 9], [2, 0, 4], [9, 4, 0]])
    plan = kit.evaluate(problem, [2, 0, 1])
    assert (plan.route, plan.distance, plan.events, plan.lateness) == ([2, 0, 1], 15, None, None)
    with pytest.raises(ValueError, match="needs a plan and a problem with time data"):
        kit.timetable(plan, problem)
