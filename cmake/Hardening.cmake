# Build variants for hardening: sanitizers, warnings as errors, the fuzz
# target, and builds without the Python module (for the fuzzer and TSan).

option(TOURWRIGHT_BUILD_MODULE "Build the Python extension module" ON)
option(TOURWRIGHT_SANITIZE "Instrument core, module and tests with ASan and UBSan" OFF)
option(TOURWRIGHT_TSAN "Instrument core and core tests with ThreadSanitizer" OFF)
option(TOURWRIGHT_WERROR "Treat compiler warnings (-Wall -Wextra) as errors" OFF)
option(TOURWRIGHT_FUZZ "Build the libFuzzer target over the core (clang only)" OFF)

# Warnings every target of ours is compiled with.
set(TOURWRIGHT_WARNINGS -Wall -Wextra)
if(TOURWRIGHT_WERROR)
  list(APPEND TOURWRIGHT_WARNINGS -Werror)
endif()

if(TOURWRIGHT_SANITIZE)
  # Every report is fatal, so a test run with any report fails.
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(TOURWRIGHT_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
