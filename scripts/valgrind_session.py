"""The Python session that scripts/valgrind-session runs under memcheck:
the whole call mix of the leak tests, repeated, then a clean exit."""

import sys

import call_mix

calls = int(sys.argv[1]) if len(sys.argv) > 1 else 5_000
made = call_mix.run(calls)
print(f"valgrind session: {made} module calls")
