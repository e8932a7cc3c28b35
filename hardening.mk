# Hardening checks, included by the Makefile:
#   make sanitize-test   the C++ and Python suites against an ASan + UBSan build
#   make tsan-test       the core's concurrency tests under ThreadSanitizer
#   make fuzz            libFuzzer over the core for FUZZ_SECONDS
#   make valgrind        memcheck of a Python session of VALGRIND_CALLS calls
#   make libcxx-test     the core's tests built by clang against libc++
#   make clean-hardening remove their build directories
# WERROR=ON makes every build treat warnings as errors.
LIBCXX_DIR     ?= build-libcxx
ASAN_DIR       ?= build-asan
TSAN_DIR       ?= build-tsan
FUZZ_DIR       ?= build-fuzz
FUZZ_SECONDS   ?= 60
VALGRIND_CALLS ?= 20000

.PHONY: sanitize-test tsan-test libcxx-test fuzz-build fuzz valgrind clean-hardening

# -O1 keeps the instrumented suites quick while the reports stay precise;
# the standard library checks its own preconditions there too (as
# distribution builds do with _GLIBCXX_ASSERTIONS). The differential rows of
# a hundred locations and more take six minutes instrumented and reach no
# code the smaller rows do not: they run in the release suite only.
sanitize-test: venv
	@cmake -S . -B $(ASAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  "-DCMAKE_CXX_FLAGS=-O1 -D_GLIBCXX_ASSERTIONS" \
	  -DTOURWRIGHT_SANITIZE=ON -DTOURWRIGHT_WERROR=$(WERROR) \
	  -DPython3_EXECUTABLE=$(abspath $(PYTHON)) >/dev/null
	@cmake --build $(ASAN_DIR) -j $(JOBS)
	@GTEST_FILTER='-*InTheHundreds*' ctest --test-dir $(ASAN_DIR) --output-on-failure -j $(JOBS)

# Another toolchain: clang with LLVM's C++ library, GoogleTest built from the
# sources Debian ships with it (the installed one is built for libstdc++).
libcxx-test: deps
	@cmake -S . -B $(LIBCXX_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	  -DCMAKE_CXX_FLAGS=-stdlib=libc++ -DCMAKE_EXE_LINKER_FLAGS=-stdlib=libc++ \
	  -DTOURWRIGHT_BUILD_MODULE=OFF -DTOURWRIGHT_BUILD_BENCHMARKS=OFF \
	  -DTOURWRIGHT_GTEST_SOURCE=/usr/src/googletest -DTOURWRIGHT_WERROR=$(WERROR) >/dev/null
	@cmake --build $(LIBCXX_DIR) -j $(JOBS) --target core_tests
	@$(LIBCXX_DIR)/tests/core_tests --gtest_brief=1

# Data races in the core (the Python suite would need an instrumented interpreter).
tsan-test: deps
	@cmake -S . -B $(TSAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-O1 \
	  -DTOURWRIGHT_TSAN=ON -DTOURWRIGHT_BUILD_MODULE=OFF -DTOURWRIGHT_WERROR=$(WERROR) >/dev/null
	@cmake --build $(TSAN_DIR) -j $(JOBS) --target core_tests
	@TSAN_OPTIONS=halt_on_error=1 $(TSAN_DIR)/tests/core_tests \
	  --gtest_filter='Concurrency*:Solve*:Interrupt*'

# clang's libFuzzer with ASan + UBSan; the module is not needed here.
fuzz-build: deps
	@cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOURWRIGHT_BUILD_MODULE=OFF -DTOURWRIGHT_BUILD_TESTS=OFF \
	  -DTOURWRIGHT_FUZZ=ON -DTOURWRIGHT_WERROR=$(WERROR) >/dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS) --target core_fuzzer

fuzz: fuzz-build
	@scripts/run-fuzzer $(FUZZ_DIR)/tests/fuzz/core_fuzzer $(FUZZ_SECONDS)

valgrind: build
	@PYTHON=$(abspath $(PYTHON)) scripts/valgrind-session $(BUILD_DIR) $(VALGRIND_CALLS)

clean-hardening:
	rm -rf $(ASAN_DIR) $(TSAN_DIR) $(LIBCXX_DIR) $(FUZZ_DIR)
