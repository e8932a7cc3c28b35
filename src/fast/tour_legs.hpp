#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

#include "fast/move_shape.hpp"
#include "output.hpp"

namespace tourwright {

// The legs of the current closed tour under one per-leg measure (distance, or
// travelling time), kept so that the total of any candidate comes in O(1).
//
// `Value` is std::uint64_t for distances, whose sums wrap modulo 2^64: total
// − removed + added is then exactly the wrapped sum of the candidate's legs,
// whatever the order of the terms. For durations the caller guarantees that
// no sum can leave the range, so the same identity holds exactly.
template <class Value>
class TourLegs {
 public:
  // `measure(a, b)` is read once for every pair of locations below n.
  template <class Measure>
  TourLegs(std::size_t n, Measure measure)
      : n_(n), outgoing_(n * n), leg_(n), back_leg_(n), reversal_gain_(n) {
    for (std::size_t a = 0; a < n; ++a) {
      for (std::size_t b = 0; b < n; ++b) outgoing_[a * n + b] = measure(a, b);
    }
    bool symmetric = true;
    for (std::size_t a = 0; a < n && symmetric; ++a) {
      for (std::size_t b = 0; b < a && symmetric; ++b) symmetric = outgoing_[a * n + b] == outgoing_[b * n + a];
    }
    // A symmetric table is its own transpose: half the memory to keep cached.
    if (!symmetric) {
      incoming_.resize(n * n);
      for (std::size_t a = 0; a < n; ++a) {
        for (std::size_t b = 0; b < n; ++b) incoming_[b * n + a] = outgoing_[a * n + b];
      }
    }
    for (auto& skip : skip_) skip.resize(n);
  }

  void rebuild(const Route& route) {
    refresh_positions(route, 0, n_);
    finish_refresh(0);
  }

  // After a move on positions i..j was applied to `route`: only the legs that
  // touch those positions changed (the skips reach back three positions).
  void refresh(const Route& route, std::size_t i, std::size_t j) {
    refresh_positions(route, (i + 4 * n_ - 4) % n_, std::min(n_, j - i + 5));
    finish_refresh(i == 0 ? 0 : i - 1);
  }

  Value total() const { return total_; }

  // Starts loading the rows a scan at position i reads for every j (legs
  // leaving the locations at i − 1, i and up to i + 3, legs entering those
  // at i and i + 1). Their columns are hit in random order, which the
  // hardware does not foresee; without this each i pays a cache miss per
  // line of those rows, one at a time.
  void prefetch_rows(const Route& r, std::size_t i) const {
    constexpr std::size_t kLine = 64 / sizeof(Value);
    const auto fetch = [&](const std::vector<Value>& table, std::size_t row) {
      const Value* start = &table[row * n_];
      for (std::size_t column = 0; column < n_; column += kLine) __builtin_prefetch(start + column);
    };
    fetch(outgoing_, r[i == 0 ? n_ - 1 : i - 1]);
    for (std::size_t k = i; k < std::min(n_, i + 4); ++k) fetch(outgoing_, r[k]);
    if (incoming_.empty()) return;
    fetch(incoming_, r[i]);
    if (i + 1 < n_) fetch(incoming_, r[i + 1]);
  }

  // The total of the candidate that move (i, j) makes, for i < j < n.
  template <MoveKind Kind, std::size_t Block>
  Value candidate_total(const Route& r, std::size_t i, std::size_t j) const {
    // The whole tour rearranged: no leg outside the segment is left to anchor
    // the delta; this happens once per move and pass, so sum it up.
    if (i == 0 && j + 1 == n_) return whole_tour_total<Kind, Block>(r, i, j);
    // Otherwise the path from the location after j around to the one before
    // i is untouched; only the legs from `before` into the segment, inside
    // it and out to `after` differ.
    const std::size_t before = i == 0 ? n_ - 1 : i - 1;
    const std::size_t after = j + 1 == n_ ? 0 : j + 1;
    const std::size_t prev = r[before];
    const std::size_t next = r[after];
    const std::size_t first = r[i];
    const std::size_t last = r[j];
    Value removed = leg_[before] + leg_[j];
    Value added;
    if constexpr (Kind == MoveKind::reverse) {
      added = out(prev, last) + out(first, next) + (reversal_gain_[j] - reversal_gain_[i]);
    } else if constexpr (Kind == MoveKind::swap) {
      if (j == i + 1) {
        added = out(prev, last) + in(first, last) + out(first, next);
        removed = removed + leg_[i];
      } else {
        added = out(prev, last) + in(r[i + 1], last) + in(first, r[j - 1]) + out(first, next);
        removed = removed + leg_[i] + leg_[j - 1];
      }
    } else if constexpr (Kind == MoveKind::rotate_left) {
      added = out(prev, r[i + Block]) + in(first, last) + out(r[i + Block - 1], next);
      removed = removed + leg_[i + Block - 1];
    } else {
      added = out(prev, r[j + 1 - Block]) + in(first, last) + skip_[Block - 1][j - Block];
      removed = removed + leg_[j - Block];
    }
    return total_ - removed + added;
  }

 private:
  // Both lookups read a row: `out(a, ·)` the legs leaving a, `in(b, ·)` the
  // legs entering b. Inside a scan one end is fixed, so the row stays cached.
  Value out(std::size_t from, std::size_t to) const { return outgoing_[from * n_ + to]; }
  Value in(std::size_t to, std::size_t from) const {
    return (incoming_.empty() ? outgoing_ : incoming_)[to * n_ + from];
  }

  void refresh_positions(const Route& r, std::size_t start, std::size_t count) {
    for (std::size_t step = 0; step < count; ++step) {
      const std::size_t k = (start + step) % n_;
      leg_[k] = out(r[k], r[(k + 1) % n_]);
      back_leg_[k] = out(r[(k + 1) % n_], r[k]);
      for (std::size_t c = 0; c < skip_.size(); ++c) skip_[c][k] = out(r[k], r[(k + c + 2) % n_]);
    }
  }

  // Reversal gains are prefix sums over the legs, so they change from the
  // first refreshed leg on; the total is summed again in the same pass.
  void finish_refresh(std::size_t from) {
    for (std::size_t k = from; k + 1 < n_; ++k) {
      reversal_gain_[k + 1] = reversal_gain_[k] + (back_leg_[k] - leg_[k]);
    }
    Value total{};
    for (const Value& leg : leg_) total = total + leg;
    total_ = total;
  }

  template <MoveKind Kind, std::size_t Block>
  Value whole_tour_total(const Route& r, std::size_t i, std::size_t j) const {
    Value total{};
    for (std::size_t k = 0; k < n_; ++k) {
      total = total + out(moved_location<Kind, Block>(r, i, j, k),
                          moved_location<Kind, Block>(r, i, j, (k + 1) % n_));
    }
    return total;
  }

  std::size_t n_;
  std::vector<Value> outgoing_;  // row a: the measure from a to every location
  std::vector<Value> incoming_;  // row b: the measure from every location to b; empty when symmetric
  std::vector<Value> leg_;       // leg_[k]: from position k to k + 1 (closing leg last)
  std::vector<Value> back_leg_;  // back_leg_[k]: from position k + 1 back to k
  // reversal_gain_[k]: the sum over positions m < k of back_leg_[m] − leg_[m],
  // so reversing i..j changes the inner legs by gain[j] − gain[i].
  std::vector<Value> reversal_gain_;
  // skip_[c][k]: from position k to k + c + 2, the leg that closes the gap a
  // right rotation of c + 1 locations leaves behind.
  std::array<std::vector<Value>, 3> skip_;
  Value total_{};
};

}  // namespace tourwright
