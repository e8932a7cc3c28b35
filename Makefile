# Quick start:  make example   (the module alone, then solve a bundled instance)
#               make test      (everything, then run the C++ and Python suites)
#               make bench     (build, then time literal against fast evaluation)
#               make bench-moves (build, then one Google Benchmark per move scan)
#               make compare (build, install the peers, then docs/comparison.*)
# The Python tools come from the package index into $(VENV) (the `test`,
# `format` and `distributed` dependency groups of pyproject.toml); apt
# supplies only the C++ tooling.
BUILD_DIR   ?= build
EXAMPLE_DIR ?= build-example
BASE_PYTHON ?= python3
VENV        ?= .venv
PYTHON      ?= $(VENV)/bin/python
JOBS        ?= $(shell nproc)
WERROR      ?= OFF

.PHONY: deps venv build example test bench bench-moves compare format check-format clean

deps:
	@scripts/ensure-deps

# Rebuilt when the dependency groups change. pip reads groups from 25.1 on.
$(VENV)/.groups: pyproject.toml
	@test -x $(PYTHON) || $(BASE_PYTHON) -m venv $(VENV)
	@$(PYTHON) -m pip install -q --disable-pip-version-check --upgrade "pip>=25.1"
	@$(PYTHON) -m pip install -q --disable-pip-version-check --group test --group format --group distributed
	@touch $@

venv: deps $(VENV)/.groups

build: venv
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DTOURWRIGHT_WERROR=$(WERROR) -DPython3_EXECUTABLE=$(abspath $(PYTHON)) >/dev/null
	@cmake --build $(BUILD_DIR) -j $(JOBS)

# The quick start needs only a C++ compiler, CMake and the Python headers:
# the module alone, in a directory of its own, run by a bare virtual
# environment (no apt packages, nothing from the package index).
example:
	@test -x $(PYTHON) || $(BASE_PYTHON) -m venv $(VENV)
	@cmake -S . -B $(EXAMPLE_DIR) -DCMAKE_BUILD_TYPE=Release -DTOURWRIGHT_BUILD_TESTS=OFF \
	  -DTOURWRIGHT_BUILD_BENCHMARKS=OFF -DPython3_EXECUTABLE=$(abspath $(PYTHON)) >/dev/null
	@cmake --build $(EXAMPLE_DIR) -j $(JOBS) --target tourwright >/dev/null
	@PYTHONPATH=$(EXAMPLE_DIR) $(PYTHON) examples/quickstart.py

test: build
	@ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

bench: build
	@$(BUILD_DIR)/bench/descent_bench
	@$(BUILD_DIR)/bench/descent_bench --scale --with-limit

bench-moves: build
	@$(BUILD_DIR)/bench/move_scan_bench

# The peers come from the `bench` group, into the same environment; about 15
# minutes on this machine.
compare: build
	@$(PYTHON) -m pip install -q --disable-pip-version-check --group bench
	@PYTHONPATH=$(BUILD_DIR) $(PYTHON) bench/peers/compare.py

# Every C++ file of the tree, formatted by the committed .clang-format.
CXX_SOURCES = $(shell git ls-files '*.cpp' '*.hpp')

format: venv
	@$(VENV)/bin/clang-format -i $(CXX_SOURCES)

check-format: venv
	@$(VENV)/bin/clang-format --dry-run --Werror $(CXX_SOURCES)

clean:
	rm -rf $(BUILD_DIR) $(EXAMPLE_DIR)

include hardening.mk
