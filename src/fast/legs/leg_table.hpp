#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

#include "interrupt.hpp"

namespace tourwright {

// One per-leg measure between every pair of locations, stored as `Entry` and
// read as `Value`. `Entry` may be narrower than `Value` (32-bit entries for
// 64-bit distances) when every entry fits: the value read back is the very
// same number, so every sum over it is the same; a row then takes half the
// cache. The caller picks the entry type once per call (see fits_in).
template <class Value, class Entry>
class LegTable {
 public:
  using Row = const Entry*;

  // `measure(a, b)` is read once for every pair of locations below n.
  template <class Measure>
  LegTable(std::size_t n, Measure measure) : LegTable(n, entries(n, measure)) {}

  // Shares `outgoing`, the entries row-major n × n, instead of copying them.
  LegTable(std::size_t n, std::shared_ptr<const std::vector<Entry>> outgoing)
      : n_(n), outgoing_(std::move(outgoing)), out_(outgoing_->data()) {
    bool symmetric = true;
    for (std::size_t a = 0; a < n && symmetric; ++a) {
      poll_interrupt();  // a row at a time: these loops cover n^2 entries
      for (std::size_t b = 0; b < a && symmetric; ++b)
        symmetric = out_[a * n + b] == out_[b * n + a];
    }
    symmetric_ = symmetric;
    // A symmetric table is its own transpose: half the memory to keep cached.
    if (!symmetric) {
      incoming_.resize(n * n);
      for (std::size_t a = 0; a < n; ++a) {
        poll_interrupt();
        for (std::size_t b = 0; b < n; ++b) incoming_[b * n + a] = out_[a * n + b];
      }
    }
  }

  // Whether `Entry` holds every value `measure` gives below n, unchanged.
  template <class Measure>
  static bool fits_in(std::size_t n, Measure measure) {
    for (std::size_t a = 0; a < n; ++a) {
      poll_interrupt();
      for (std::size_t b = 0; b < n; ++b) {
        const Value value = measure(a, b);
        if constexpr (std::is_signed_v<Value>) {
          if (value < 0) return false;
        }
        if (static_cast<std::uint64_t>(value) > std::numeric_limits<Entry>::max()) return false;
      }
    }
    return true;
  }

  bool symmetric() const { return symmetric_; }

  // The legs leaving `from`, indexed by their end; and the legs entering
  // `to`, indexed by their start (the same row when the table is symmetric).
  // Inside a scan one end is fixed, so a row is read many times.
  Row outgoing(std::size_t from) const { return out_ + from * n_; }
  Row incoming(std::size_t to) const { return symmetric_ ? outgoing(to) : &incoming_[to * n_]; }

  Value at(std::size_t from, std::size_t to) const { return Value(out_[from * n_ + to]); }
  std::size_t size() const { return n_; }

 private:
  template <class Measure>
  static std::shared_ptr<const std::vector<Entry>> entries(std::size_t n, Measure measure) {
    auto table = std::make_shared<std::vector<Entry>>(n * n);
    for (std::size_t a = 0; a < n; ++a) {
      poll_interrupt();
      for (std::size_t b = 0; b < n; ++b) (*table)[a * n + b] = static_cast<Entry>(measure(a, b));
    }
    return table;
  }

  std::size_t n_;
  bool symmetric_ = true;
  // row a: the measure from a to every location (out_ reads it)
  std::shared_ptr<const std::vector<Entry>> outgoing_;
  const Entry* out_;
  std::vector<Entry>
      incoming_;  // row b: the measure from every location to b; empty when symmetric
};

}  // namespace tourwright
