#include "fast/legs/tour_legs.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "fast/legs/candidate_legs.hpp"
#include "fast/legs/candidate_totals.hpp"
#include "fast/legs/leg_table.hpp"
#include "fast/move_shapes.hpp"
#include "local_moves.hpp"
#include "penalties/distance/distance_matrix.hpp"

namespace tourwright {
namespace {

constexpr std::uint64_t kTop = std::numeric_limits<std::uint64_t>::max();
constexpr std::uint64_t k32 = std::uint64_t{1} << 32;
constexpr std::uint64_t k62 = std::uint64_t{1} << 62;

struct MatrixCase {
  std::string name;
  bool symmetric;
  std::uint64_t low;
  std::uint64_t high;
};

DistanceMatrix random_matrix(std::mt19937_64& random, std::size_t n, const MatrixCase& c) {
  std::uniform_int_distribution<std::uint64_t> value(c.low, c.high);
  DistanceMatrix matrix(n, std::vector<std::uint64_t>(n));
  for (std::size_t a = 0; a < n; ++a) {
    for (std::size_t b = 0; b < n; ++b)
      matrix[a][b] = (c.symmetric && b < a) ? matrix[b][a] : value(random);
  }
  return matrix;
}

Route random_route(std::mt19937_64& random, std::size_t n) {
  Route route(n);
  std::iota(route.begin(), route.end(), std::size_t{0});
  std::shuffle(route.begin(), route.end(), random);
  return route;
}

// Every array the scans read, compared with legs built afresh on the route.
template <class Entry>
void expect_same_legs(const TourLegs<Entry>& followed, const TourLegs<Entry>& fresh) {
  const std::size_t n = fresh.size();
  for (std::size_t k = 0; k <= n; ++k) ASSERT_EQ(followed.tour()[k], fresh.tour()[k]);
  for (std::size_t k = 0; k < n; ++k) {
    ASSERT_EQ(followed.legs()[k], fresh.legs()[k]) << "leg at " << k;
    for (std::size_t span = 2; span <= TourLegs<Entry>::kMaxSpan; ++span) {
      ASSERT_EQ(followed.skips(span)[k], fresh.skips(span)[k]) << "span " << span << " at " << k;
    }
    ASSERT_EQ(followed.reversal_gains()[k], fresh.reversal_gains()[k]) << "gain at " << k;
  }
  ASSERT_EQ(followed.total(), fresh.total());
}

class TourLegsTest : public ::testing::TestWithParam<MatrixCase> {
 protected:
  template <class Entry>
  void follow_random_moves(std::uint64_t seed) {
    std::mt19937_64 random(seed);
    const std::size_t n = std::uniform_int_distribution<std::size_t>(2, 30)(random);
    const DistanceMatrix matrix = random_matrix(random, n, GetParam());
    const auto distance = [&](std::size_t a, std::size_t b) { return matrix[a][b]; };
    TourLegs<Entry> followed(n, distance);
    Route route = random_route(random, n);
    followed.rebuild(route);
    for (int step = 0; step < 200; ++step) {
      const PassEntry& entry = kPassTable[std::uniform_int_distribution<std::size_t>(0, 7)(random)];
      // Any segment longer than the block, from anywhere, wrap edges included.
      const std::size_t reach = std::max<std::size_t>(entry.shape.block, 1);
      if (n <= reach) continue;
      const std::size_t i = std::uniform_int_distribution<std::size_t>(0, n - 1 - reach)(random);
      const std::size_t j = std::uniform_int_distribution<std::size_t>(i + reach, n - 1)(random);
      SCOPED_TRACE("step " + std::to_string(step) + ": move " +
                   std::to_string(&entry - kPassTable.data()) + " on " + std::to_string(i) + ".." +
                   std::to_string(j) + " of " + std::to_string(n));
      entry.move(route, i, j);
      with_shape(entry.shape, [&]<MoveKind Kind, std::size_t Block>() {
        followed.template after_move<Kind, Block>(route, i, j, tour_distance(matrix, route));
      });
      TourLegs<Entry> fresh(n, distance);
      fresh.rebuild(route);
      expect_same_legs(followed, fresh);
      ASSERT_TRUE(followed.describes(route));
      if (HasFatalFailure()) return;
    }
  }

  template <class Entry>
  void every_candidate_total(std::uint64_t seed) {
    std::mt19937_64 random(seed);
    const std::size_t n = std::uniform_int_distribution<std::size_t>(2, 14)(random);
    const DistanceMatrix matrix = random_matrix(random, n, GetParam());
    TourLegs<Entry> legs(n, [&](std::size_t a, std::size_t b) { return matrix[a][b]; });
    const Route route = random_route(random, n);
    legs.rebuild(route);
    for (const PassEntry& entry : kPassTable) {
      with_shape(entry.shape, [&]<MoveKind Kind, std::size_t Block>() {
        for (std::size_t i = 0; i < n; ++i) {
          for (std::size_t j = i + std::max<std::size_t>(Block, 1); j < n; ++j) {
            Route moved = route;
            entry.move(moved, i, j);
            const bool whole_tour = i == 0 && j + 1 == n;
            const std::uint64_t total = whole_tour
                                            ? legs.template whole_tour_total<Kind, Block>(i, j)
                                            : CandidateTotals<Kind, Block, Entry>(legs, i)(j);
            ASSERT_EQ(total, tour_distance(matrix, moved))
                << "move " << (&entry - kPassTable.data()) << " on " << i << ".." << j << " of "
                << n;
            // Each leg a schedule would walk, read in nanoseconds where legs
            // are durations (which fit them).
            if (GetParam().high >= k62) continue;
            const CandidateLegs<Kind, Block, Entry> candidate_legs(legs, i, 1);
            for (std::size_t k = 0; k < n; ++k) {
              const std::size_t next = (k + 1) % n;
              ASSERT_EQ(candidate_legs.between(j, k, next),
                        static_cast<Nanos>(matrix[moved[k]][moved[next]]))
                  << "leg " << k << " of move " << (&entry - kPassTable.data()) << " on " << i
                  << ".." << j;
            }
          }
        }
      });
      if (HasFatalFailure()) return;
    }
  }

  bool fits_32_bits() const { return GetParam().high < k32; }
};

TEST_P(TourLegsTest, FollowsEveryMoveExactlyAsARebuildWould) {
  for (std::uint64_t seed = 0; seed < 40; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    if (fits_32_bits()) follow_random_moves<std::uint32_t>(seed);
    follow_random_moves<std::uint64_t>(seed);
    if (HasFatalFailure()) return;
  }
}

TEST_P(TourLegsTest, EveryCandidateTotalAndLegIsTheLiteralOne) {
  for (std::uint64_t seed = 0; seed < 40; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    if (fits_32_bits()) every_candidate_total<std::uint32_t>(seed);
    every_candidate_total<std::uint64_t>(seed);
    if (HasFatalFailure()) return;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TourLegsTest,
    ::testing::Values(MatrixCase{"SymmetricSmall", true, 0, 100},
                      MatrixCase{"AsymmetricSmall", false, 0, 100},
                      MatrixCase{"SymmetricBelow32Bits", true, k32 - 1'000, k32 - 1},
                      MatrixCase{"AsymmetricBelow32Bits", false, k32 - 1'000, k32 - 1},
                      MatrixCase{"AsymmetricAround32Bits", false, k32 - 1'000, k32 + 1'000},
                      MatrixCase{"SymmetricNearTheTopWrap", true, kTop - 1'000, kTop},
                      MatrixCase{"AsymmetricNearTheTopWrap", false, 0, kTop}),
    [](const ::testing::TestParamInfo<MatrixCase>& info) { return info.param.name; });

// The one move table: every entry's shape (whose formulas with_shape
// requires at compile time) reads each candidate exactly as its literal move
// builds it.
TEST(MoveTableTest, EveryEntryHasAShapeThatMatchesItsMove) {
  const std::size_t n = 9;
  Route route(n);
  std::iota(route.begin(), route.end(), std::size_t{10});
  for (const PassEntry& entry : kPassTable) {
    with_shape(entry.shape, [&]<MoveKind Kind, std::size_t Block>() {
      for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = i + 1 + entry.min_gap; j < n; ++j) {
          Route moved = route;
          entry.move(moved, i, j);
          for (std::size_t k = 0; k < n; ++k) {
            ASSERT_EQ((moved_location<Kind, Block>(route, i, j, k)), moved[k])
                << "entry " << (&entry - kPassTable.data()) << " on " << i << ".." << j;
          }
        }
      }
    });
  }
}

TEST(LegTableTest, NarrowEntriesOnlyWhenEveryValueFits) {
  const auto fits = [](std::uint64_t largest) {
    return LegTable<std::uint64_t, std::uint32_t>::fits_in(3, [&](std::size_t a, std::size_t b) {
      return a == 2 && b == 1 ? largest : std::uint64_t{7};
    });
  };
  EXPECT_TRUE(fits(k32 - 1));
  EXPECT_FALSE(fits(k32));
  EXPECT_FALSE(fits(kTop));
}

TEST(LegTableTest, NarrowEntriesReadBackUnchanged) {
  const LegTable<std::uint64_t, std::uint32_t> table(
      2, [](std::size_t a, std::size_t b) { return a == b ? std::uint64_t{0} : k32 - 1 - a; });
  EXPECT_FALSE(table.symmetric());
  EXPECT_EQ(table.at(0, 1), k32 - 1);
  EXPECT_EQ(table.at(1, 0), k32 - 2);
  EXPECT_EQ(std::uint64_t{table.incoming(0)[1]}, k32 - 2);
}

}  // namespace
}  // namespace tourwright
