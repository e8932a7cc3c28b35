# Quick start:  make example   (build, then solve a bundled instance)
#               make test      (build, then run the C++ and Python suites)
# Hardening:    make sanitize-test   (the same suites under ASan + UBSan)
#               make fuzz            (libFuzzer over the core, FUZZ_SECONDS long)
#               make valgrind        (memcheck of a small Python session)
#               make tsan-test       (the core's concurrency tests under TSan)
BUILD_DIR    ?= build
ASAN_DIR     ?= build-asan
FUZZ_DIR     ?= build-fuzz
PYTHON       ?= /usr/bin/python3
JOBS         ?= $(shell nproc)
WERROR       ?= OFF
FUZZ_SECONDS ?= 60

.PHONY: deps build example test sanitize-test tsan-test fuzz-build fuzz valgrind clean

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

# -O1 keeps the instrumented suites quick while the reports stay precise.
sanitize-test: deps
	@cmake -S . -B $(ASAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-O1 \
	  -DTOURWRIGHT_SANITIZE=ON -DTOURWRIGHT_WERROR=$(WERROR) \
	  -DPython3_EXECUTABLE=$(PYTHON) >/dev/null
	@cmake --build $(ASAN_DIR) -j $(JOBS)
	@ctest --test-dir $(ASAN_DIR) --output-on-failure -j $(JOBS)

# Data races in the core (the Python suite needs an instrumented interpreter).
TSAN_DIR ?= build-tsan
tsan-test: deps
	@cmake -S . -B $(TSAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-O1 \
	  -DTOURWRIGHT_TSAN=ON -DTOURWRIGHT_BUILD_MODULE=OFF >/dev/null
	@cmake --build $(TSAN_DIR) -j $(JOBS) --target core_tests
	@TSAN_OPTIONS=halt_on_error=1 $(TSAN_DIR)/tests/core_tests --gtest_filter='Concurrency*:Solve*'

# clang's libFuzzer with ASan + UBSan; the module is not needed here.
fuzz-build: deps
	@cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOURWRIGHT_BUILD_MODULE=OFF -DTOURWRIGHT_BUILD_TESTS=OFF \
	  -DTOURWRIGHT_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS) --target core_fuzzer

fuzz: fuzz-build
	@scripts/run-fuzzer $(FUZZ_DIR)/tests/fuzz/core_fuzzer $(FUZZ_SECONDS)

VALGRIND_CALLS ?= 20000
valgrind: build
	@scripts/valgrind-session $(BUILD_DIR) $(VALGRIND_CALLS)

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(TSAN_DIR) $(FUZZ_DIR)
