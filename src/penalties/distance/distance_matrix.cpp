#include "penalties/distance/distance_matrix.hpp"

#include <algorithm>
#include <limits>
#include <utility>

#include "interrupt.hpp"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace tourwright {

namespace {

bool packs(const DistanceMatrix& rows) {
  const std::size_t n = rows.size();
  return n > 0 && std::all_of(rows.begin(), rows.end(), [n](const auto& row) {
           poll_interrupt();  // a row at a time
           return row.size() == n &&
                  std::all_of(row.begin(), row.end(), [](std::uint64_t distance) {
                    return distance <= std::numeric_limits<std::uint32_t>::max();
                  });
         });
}

// Rows freed inside the heap stay in the process until handed back; for a
// large matrix that is done a sixteenth of the rows at a time, so that the
// packed table grows into memory the rows have left.
constexpr std::size_t kTrimmedBytes = std::size_t{64} << 20;

void hand_back_freed_rows() {
#if defined(__GLIBC__)
  malloc_trim(0);
#endif
}

}  // namespace

DistanceTable::DistanceTable(DistanceMatrix rows) {
  if (!packs(rows)) {
    rows_ = std::move(rows);
    return;
  }
  n_ = rows.size();
  const bool large = n_ * n_ * sizeof(std::uint64_t) >= kTrimmedBytes;
  const std::size_t rows_per_trim = std::max<std::size_t>(1, n_ / 16);
  // Reserved, not filled: the table's pages are touched only as rows arrive.
  auto packed = std::make_shared<std::vector<std::uint32_t>>();
  packed->reserve(n_ * n_);
  for (std::size_t a = 0; a < n_; ++a) {
    poll_interrupt();  // a row at a time
    packed->insert(packed->end(), rows[a].begin(), rows[a].end());
    DistanceMatrix::value_type().swap(rows[a]);
    if (large && (a + 1) % rows_per_trim == 0) hand_back_freed_rows();
  }
  packed_ = std::move(packed);
}

bool DistanceTable::square(std::size_t n) const {
  if (packed_) return n <= n_;
  if (rows_.size() < n) return false;
  return std::all_of(rows_.begin(), rows_.begin() + static_cast<std::ptrdiff_t>(n),
                     [n](const auto& row) { return row.size() >= n; });
}

std::uint64_t tour_distance(const DistanceTable& table, const std::vector<std::size_t>& route) {
  const std::size_t first = element_at(route, 0);
  std::uint64_t total = 0;  // unsigned: the sum wraps without an error by design
  for (std::size_t k = 0; k + 1 < route.size(); ++k) total += table.leg(route[k], route[k + 1]);
  return total + table.leg(route.back(), first);
}

}  // namespace tourwright
