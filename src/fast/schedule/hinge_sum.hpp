#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>
#include <vector>

#include "fast/schedule/nanos.hpp"

namespace tourwright {

// Keys at the positions of a route, some positions without one, sorted once
// per route so that HingeSum can count and add them by rank.
class RankedKeys {
 public:
  void rebuild(const std::vector<std::optional<WideNanos>>& keys) {
    sorted_.clear();
    for (const auto& key : keys) {
      if (key) sorted_.push_back(*key);
    }
    std::sort(sorted_.begin(), sorted_.end());
    rank_.assign(keys.size(), kNone);
    for (std::size_t p = 0; p < keys.size(); ++p) {
      if (keys[p]) rank_[p] = rank_of(*keys[p]);
    }
  }

  std::size_t size() const { return sorted_.size(); }
  // Equal keys share a rank: the first of theirs.
  std::optional<std::size_t> rank(std::size_t position) const {
    if (rank_[position] == kNone) return std::nullopt;
    return rank_[position];
  }
  // The ranks of the keys strictly below x are 0 .. this − 1.
  std::size_t rank_of(WideNanos x) const {
    return static_cast<std::size_t>(std::lower_bound(sorted_.begin(), sorted_.end(), x) -
                                    sorted_.begin());
  }
  WideNanos key(std::size_t rank) const { return sorted_[rank]; }

 private:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::vector<WideNanos> sorted_;
  std::vector<std::size_t> rank_;
};

// Σ max(0, x − key) over the keys of a set of positions, for any x: a
// Fenwick tree over the keys' ranks of how many there are and their sum, so
// that adding or removing a position and each sum cost O(log n).
class HingeSum {
 public:
  void reset(const RankedKeys& keys) {
    keys_ = &keys;
    count_.assign(keys.size() + 1, 0);
    sum_.assign(keys.size() + 1, 0);
  }
  void add(std::size_t position) { change(position, 1); }
  void remove(std::size_t position) { change(position, -1); }
  WideNanos at(WideNanos x) const {
    WideNanos count = 0;
    WideNanos sum = 0;
    for (std::size_t r = keys_->rank_of(x); r > 0; r -= lowest(r)) {
      count += count_[r];
      sum += sum_[r];
    }
    return count * x - sum;
  }

 private:
  void change(std::size_t position, int by) {
    const auto rank = keys_->rank(position);
    if (!rank) return;
    const WideNanos key = keys_->key(*rank) * by;
    for (std::size_t r = *rank + 1; r < count_.size(); r += lowest(r)) {
      count_[r] += by;
      sum_[r] += key;
    }
  }
  static std::size_t lowest(std::size_t r) { return r & (~r + 1); }

  const RankedKeys* keys_ = nullptr;
  std::vector<WideNanos> count_;
  std::vector<WideNanos> sum_;
};

}  // namespace tourwright
