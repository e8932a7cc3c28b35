"""Planning helpers around the ``tourwright`` extension module.

Pure Python, standard library only (NumPy, pandas and matplotlib are used
when installed). Every schedule it reports is computed by ``tourwright``
itself:

- ``Problem``, ``solve``, ``evaluate``, ``solve_from``: the arguments of a
  call, the best tour as a picklable ``Plan``, the exact schedule of an
  order you choose, and a plan that begins at a depot;
- ``timetable``: visits and travel legs grouped by day in a time zone,
  with ``to_dict``/``to_json``/``rows``/``to_dataframe``;
- ``great_circle``, ``planar``: distance and driving-time matrices;
- ``unix_seconds``, ``operating_hours``: wall-clock times in a named zone;
- ``tourwright_plan.pictures``: the plan as a day-by-day chart and a map;
- ``python -m tourwright_plan plan.json``: the same from a file.
"""

from tourwright_plan.local_time import operating_hours, unix_seconds
from tourwright_plan.matrices import Matrices, great_circle, planar
from tourwright_plan.plan_file import PlanFile, PlanFileError, read_plan
from tourwright_plan.problem import Event, Plan, Problem, evaluate, rotated, solve, solve_from
from tourwright_plan.timetable import Day, Leg, Timetable, Visit, timetable

__all__ = ["Day", "Event", "Leg", "Matrices", "Plan", "PlanFile", "PlanFileError", "Problem",
           "Timetable", "Visit", "evaluate", "great_circle", "operating_hours", "planar",
           "read_plan", "rotated", "solve", "solve_from", "timetable", "unix_seconds"]
