#include "fast/schedule/suffix_hinge.hpp"

#include <algorithm>

namespace tourwright {

// Key k_q counts towards H_p(o_p) for the positions p ≤ q with o_p > k_q:
// with the origins in order, a run [lo, q] found by one binary search. Each
// run adds itself to a difference array of counts and one of key sums, so
// that one prefix sum gives every slope and value: no sort, no tree.
void SuffixHinge::rebuild(const std::vector<std::optional<WideNanos>>& keys,
                          const std::vector<WideNanos>& origins) {
  const std::size_t n = keys.size();
  origin_ = origins;
  slope_.assign(n + 1, 0);
  value_.assign(n + 1, 0);  // key sums until the prefix sum below
  for (std::size_t q = 0; q < n; ++q) {
    if (!keys[q]) continue;
    const auto lo = static_cast<std::size_t>(
        std::upper_bound(origins.begin(), origins.begin() + static_cast<std::ptrdiff_t>(q) + 1,
                         *keys[q]) -
        origins.begin());
    if (lo > q) continue;
    slope_[lo] += 1;
    slope_[q + 1] -= 1;
    value_[lo] += *keys[q];
    value_[q + 1] -= *keys[q];
  }
  WideNanos count = 0;
  WideNanos sum = 0;
  for (std::size_t p = 0; p < n; ++p) {
    count += slope_[p];
    sum += value_[p];
    slope_[p] = count;
    value_[p] = count * origins[p] - sum;
  }
}

}  // namespace tourwright
