# Quick start:  make example   (build, then solve a bundled instance)
#               make test      (build, then run the C++ and Python suites)
#               make bench     (build, then time literal against fast evaluation)
BUILD_DIR ?= build
PYTHON    ?= /usr/bin/python3
JOBS      ?= $(shell nproc)
WERROR    ?= OFF

.PHONY: deps build example test bench clean

deps:
	@scripts/ensure-deps

build: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DTOURWRIGHT_WERROR=$(WERROR) -DPython3_EXECUTABLE=$(PYTHON) >/dev/null
	@cmake --build $(BUILD_DIR) -j $(JOBS)

example: build
	@PYTHONPATH=$(BUILD_DIR) $(PYTHON) examples/quickstart.py

test: build
	@ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

bench: build
	@$(BUILD_DIR)/bench/descent_bench

clean:
	rm -rf $(BUILD_DIR)

include hardening.mk
