#pragma once

// The search's result types: a route and its evaluation (Solution).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "penalties/time/time_output.hpp"

namespace tourwright {

using Route = std::vector<std::size_t>;

// One evaluated route. The tour is closed: after the last location it returns
// to the first. `time_report` is present exactly when time data was given.
struct Solution {
  Route route;
  std::optional<TimeReport> time_report;
  std::uint64_t distance = 0;
};

}  // namespace tourwright
