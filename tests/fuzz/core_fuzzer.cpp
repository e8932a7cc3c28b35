// libFuzzer entry point: every input is checked against the core's
// invariants; a broken one aborts, so the fuzzer keeps the input.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "core_properties.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (const auto violation = tourwright::fuzzing::check_core_properties({data, size})) {
    std::fprintf(stderr, "broken invariant: %s\n", violation->c_str());
    std::abort();
  }
  return 0;
}
