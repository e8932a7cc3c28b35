#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

namespace tourwright {

// The measure between the locations at positions k and k + s of the current
// closed tour (mod n), for every position k and span s = 1..kMaxSpan:
// forwards (from k to k + s) and backwards (from k + s to k). Span 1 gives
// the tour's legs; spans 2..4 the legs that close the gap a rotation leaves.
// When the measure is symmetric the two directions are one array.
//
// After a move the arrays are updated mostly by moving their own entries: a
// pair of positions that the move keeps together at the same distance joins
// the same two locations as before, so its measure is one already stored,
// now at another position (and read the other way after a reversal). That
// is sequential work on short arrays instead of a table lookup in a random
// row per position. Only the O(1) pairs that the move tears apart, those with
// an end at an edge of what moved, are looked up again, through
// `lookup(from_position, to_position)`, which reads the table at the
// locations the new tour has at those positions.
template <class Value>
class PositionLegs {
 public:
  static constexpr std::size_t kMaxSpan = 4;

  PositionLegs(std::size_t n, bool symmetric) : n_(n), symmetric_(symmetric) {
    for (auto& legs : forward_) legs.resize(n);
    if (!symmetric) {
      for (auto& legs : backward_) legs.resize(n);
    }
  }

  const Value* forward(std::size_t span) const { return forward_[span - 1].data(); }
  const Value* backward(std::size_t span) const {
    return (symmetric_ ? forward_ : backward_)[span - 1].data();
  }

  template <class Lookup>
  void rebuild(Lookup lookup) {
    for (std::size_t span = 1; span <= kMaxSpan; ++span)
      relook(span, 0, static_cast<std::ptrdiff_t>(n_) - 1, lookup);
  }

  // Positions i..j (i < j < n) now hold their locations in reverse order.
  // The pair at k, k + s inside them joins the locations that stood at
  // i + j − k and i + j − k − s: the pair stored at i + j − k − s, walked
  // the other way.
  template <class Lookup>
  void after_reverse(std::size_t i, std::size_t j, Lookup lookup) {
    for (std::size_t span = 1; span <= kMaxSpan; ++span) {
      if (i + span <= j) {
        const auto inside = [&](std::vector<Value>& legs) {
          return std::pair(legs.begin() + static_cast<std::ptrdiff_t>(i),
                           legs.begin() + static_cast<std::ptrdiff_t>(j - span + 1));
        };
        auto [forward_begin, forward_end] = inside(forward_[span - 1]);
        std::reverse(forward_begin, forward_end);
        if (!symmetric_) {
          auto [backward_begin, backward_end] = inside(backward_[span - 1]);
          std::reverse(backward_begin, backward_end);
          std::swap_ranges(forward_begin, forward_end, backward_begin);
        }
      }
      // Pairs reaching into the segment from before it, and out of it.
      relook(span, signed_(i) - signed_(span), signed_(i) - 1, lookup);
      relook(span, std::max(signed_(i), signed_(j) - signed_(span) + 1), signed_(j), lookup);
    }
  }

  // Positions i..j took the locations that stood `block` positions later;
  // the block that stood first now ends the segment (block < j − i + 1).
  // Pairs inside the part that moved forwards keep their measures, `block`
  // positions earlier.
  template <class Lookup>
  void after_rotate_left(std::size_t i, std::size_t j, std::size_t block, Lookup lookup) {
    for (std::size_t span = 1; span <= kMaxSpan; ++span) {
      if (i + block + span <= j) {
        shift(span, i + block, j - span + 1, i);
      }
      relook(span, signed_(i) - signed_(span), signed_(i) - 1, lookup);
      relook(span, std::max(signed_(i), signed_(j) - signed_(block) - signed_(span) + 1),
             signed_(j), lookup);
    }
  }

  // The last `block` locations of i..j moved to its front (block < j − i + 1);
  // pairs inside the rest keep their measures, `block` positions later.
  template <class Lookup>
  void after_rotate_right(std::size_t i, std::size_t j, std::size_t block, Lookup lookup) {
    for (std::size_t span = 1; span <= kMaxSpan; ++span) {
      if (i + block + span <= j) {
        shift(span, i, j - span - block + 1, i + block);
      }
      relook(span, signed_(i) - signed_(span), signed_(i + block) - 1, lookup);
      relook(span, std::max(signed_(i + block), signed_(j) - signed_(span) + 1), signed_(j),
             lookup);
    }
  }

  // Only positions i and j changed: every pair with an end there is looked up.
  template <class Lookup>
  void after_swap(std::size_t i, std::size_t j, Lookup lookup) {
    for (std::size_t span = 1; span <= kMaxSpan; ++span) {
      for (const std::size_t end : {i, j}) {
        relook(span, signed_(end) - signed_(span), signed_(end) - signed_(span), lookup);
        relook(span, signed_(end), signed_(end), lookup);
      }
    }
  }

 private:
  static std::ptrdiff_t signed_(std::size_t value) { return static_cast<std::ptrdiff_t>(value); }

  // Moves the entries at positions from..to−1 to start at `destination`,
  // both directions; the ranges may overlap.
  void shift(std::size_t span, std::size_t from, std::size_t to, std::size_t destination) {
    const auto move = [&](std::vector<Value>& legs) {
      const auto base = legs.begin();
      const auto first = base + static_cast<std::ptrdiff_t>(from);
      const auto last = base + static_cast<std::ptrdiff_t>(to);
      if (destination < from) {
        std::copy(first, last, base + static_cast<std::ptrdiff_t>(destination));
      } else {
        std::copy_backward(first, last,
                           base + static_cast<std::ptrdiff_t>(destination + (to - from)));
      }
    };
    move(forward_[span - 1]);
    if (!symmetric_) move(backward_[span - 1]);
  }

  // Looks up the pairs starting at positions from..to (taken mod n; a range
  // may overlap one already written, the lookup is right either way).
  template <class Lookup>
  void relook(std::size_t span, std::ptrdiff_t from, std::ptrdiff_t to, Lookup& lookup) {
    const auto n = signed_(n_);
    for (std::ptrdiff_t position = from; position <= to; ++position) {
      const auto k = static_cast<std::size_t>((position % n + n) % n);
      const std::size_t ahead = (k + span) % n_;
      forward_[span - 1][k] = lookup(k, ahead);
      if (!symmetric_) backward_[span - 1][k] = lookup(ahead, k);
    }
  }

  std::size_t n_;
  bool symmetric_;
  std::array<std::vector<Value>, kMaxSpan> forward_;
  std::array<std::vector<Value>, kMaxSpan> backward_;  // empty when symmetric
};

}  // namespace tourwright
