#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "fast/schedule/nanos.hpp"

namespace tourwright {

// For keys k_q at positions q of a route (some positions without one):
// H_p(T) = Σ over q ≥ p of max(0, T − k_q), a convex function of T. Its
// tangent at one origin per position is kept, so that a bound below H_p at
// any T costs O(1): max(0, H_p(o_p) + s_p (T − o_p)), s_p being how many keys
// lie below o_p. The origins must not decrease along the route (as the
// operating time a position starts from beyond the lengths before it never
// does). Built in O(n log n), without allocating once grown.
class SuffixHinge {
 public:
  void rebuild(const std::vector<std::optional<WideNanos>>& keys,
               const std::vector<WideNanos>& origins);

  WideNanos bound(std::size_t p, WideNanos t) const {
    const WideNanos tangent = value_[p] + slope_[p] * (t - origin_[p]);
    return tangent > 0 ? tangent : 0;
  }

 private:
  std::vector<WideNanos> origin_;
  std::vector<WideNanos> value_;
  std::vector<WideNanos> slope_;
};

}  // namespace tourwright
