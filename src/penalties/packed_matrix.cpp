#include "penalties/packed_matrix.hpp"

#include <algorithm>
#include <limits>

#include "interrupt.hpp"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace tourwright {

namespace {

bool packs(const IntegerRows& rows) {
  const std::size_t n = rows.size();
  return n > 0 && std::all_of(rows.begin(), rows.end(), [n](const auto& row) {
           poll_interrupt();  // a row at a time
           return row.size() == n && std::all_of(row.begin(), row.end(), [](std::uint64_t value) {
                    return value <= std::numeric_limits<std::uint32_t>::max();
                  });
         });
}

// Rows freed inside the heap stay in the process until handed back; for a
// large matrix that is done a sixteenth of the rows at a time.
constexpr std::size_t kTrimmedBytes = std::size_t{64} << 20;

void hand_back_freed_rows() {
#if defined(__GLIBC__)
  malloc_trim(0);
#endif
}

}  // namespace

std::optional<PackedMatrix> pack_rows(IntegerRows& rows) {
  if (!packs(rows)) return std::nullopt;
  const std::size_t n = rows.size();
  const bool large = n * n * sizeof(std::uint64_t) >= kTrimmedBytes;
  const std::size_t rows_per_trim = std::max<std::size_t>(1, n / 16);
  // Reserved, not filled: the table's pages are touched only as rows arrive.
  auto packed = std::make_shared<std::vector<std::uint32_t>>();
  packed->reserve(n * n);
  for (std::size_t a = 0; a < n; ++a) {
    poll_interrupt();  // a row at a time
    packed->insert(packed->end(), rows[a].begin(), rows[a].end());
    IntegerRows::value_type().swap(rows[a]);
    if (large && (a + 1) % rows_per_trim == 0) hand_back_freed_rows();
  }
  return PackedMatrix{n, std::move(packed)};
}

}  // namespace tourwright
