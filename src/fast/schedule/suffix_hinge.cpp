#include "fast/schedule/suffix_hinge.hpp"

#include <algorithm>
#include <utility>

namespace tourwright {

void SuffixHinge::rebuild(const std::vector<std::optional<WideNanos>>& keys,
                          const std::vector<WideNanos>& origins) {
  const std::size_t n = keys.size();
  std::vector<std::pair<WideNanos, std::size_t>> sorted;  // key, position
  for (std::size_t q = 0; q < n; ++q) {
    if (keys[q]) sorted.emplace_back(*keys[q], q);
  }
  std::sort(sorted.begin(), sorted.end());
  const std::size_t m = sorted.size();
  std::vector<std::size_t> rank(n, m);
  for (std::size_t r = 0; r < m; ++r) rank[sorted[r].second] = r;
  // A Fenwick tree over the ranks: how many keys, and their sum, at the
  // positions inserted so far (p..n−1).
  std::vector<WideNanos> count(m + 1, 0);
  std::vector<WideNanos> sum(m + 1, 0);
  const auto lowest = [](std::size_t r) { return r & (~r + 1); };

  origin_ = origins;
  value_.assign(n, 0);
  slope_.assign(n, 0);
  for (std::size_t p = n; p-- > 0;) {
    if (rank[p] < m) {
      for (std::size_t r = rank[p] + 1; r <= m; r += lowest(r)) {
        count[r] += 1;
        sum[r] += sorted[rank[p]].first;
      }
    }
    // The keys strictly below the origin have the first `below` ranks.
    const auto below = static_cast<std::size_t>(
        std::lower_bound(sorted.begin(), sorted.end(), std::pair{origins[p], std::size_t{0}}) -
        sorted.begin());
    WideNanos slope = 0;
    WideNanos total = 0;
    for (std::size_t r = below; r > 0; r -= lowest(r)) {
      slope += count[r];
      total += sum[r];
    }
    slope_[p] = slope;
    value_[p] = slope * origins[p] - total;
  }
}

}  // namespace tourwright
