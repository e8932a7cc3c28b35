#include "solver.hpp"

#include <cstdint>
#include <cstdlib>
#include <numeric>
#include <optional>
#include <random>
#include <vector>

#include "local_moves.hpp"
#include "test_support.hpp"

namespace tourwright {
namespace {

// The table's entry for `move`, scanned with `gap` instead of its own.
PassEntry with_gap(LocalMove move, std::size_t gap) {
  for (const PassEntry& entry : kPassTable) {
    if (entry.move == move) return {move, gap, entry.shape, entry.name};
  }
  ADD_FAILURE() << "not a move of the pass table";
  return kPassTable[0];
}

// Points on a line at the given coordinates; the best closed tour is
// 2 * (max - min).
DistanceMatrix line(const std::vector<std::int64_t>& x) {
  DistanceMatrix matrix(x.size(), std::vector<std::uint64_t>(x.size()));
  for (std::size_t a = 0; a < x.size(); ++a) {
    for (std::size_t b = 0; b < x.size(); ++b)
      matrix[a][b] = static_cast<std::uint64_t>(std::llabs(x[a] - x[b]));
  }
  return matrix;
}

DistanceMatrix random_matrix(std::size_t n, std::uint64_t seed) {
  std::mt19937_64 random(seed);
  DistanceMatrix matrix(n, std::vector<std::uint64_t>(n));
  for (auto& row : matrix) {
    for (auto& entry : row) entry = random() % 100;
  }
  return matrix;
}

Route identity(std::size_t n) {
  Route route(n);
  std::iota(route.begin(), route.end(), std::size_t{0});
  return route;
}

TEST(SolverTest, ConstructionEvaluatesTheIdentityRoute) {
  const Solver solver(Penalizer{line({0, 2, 1, 3}), std::nullopt}, std::nullopt);
  EXPECT_EQ(solver.current_solution().route, identity(4));
  EXPECT_EQ(solver.current_solution().distance, 8u);
  EXPECT_EQ(solver.best_solution().distance, 8u);
  EXPECT_EQ(solver.iterations(), 0u);
}

TEST(SolverTest, NoLocationsFailBeforeAnySearch) {
  EXPECT_FAILURE(Solver(Penalizer{{}, std::nullopt}, std::nullopt), testing::index_message(0, 0));
}

TEST(RunMoveTest, ScanContinuesFromEachAcceptedRoute) {
  // Two separate inversions; no single reversal fixes both, so reaching the
  // optimum (10) in one call needs a second acceptance on the accepted route.
  Solver solver(Penalizer{line({0, 2, 1, 4, 3, 5}), std::nullopt}, std::nullopt);
  EXPECT_EQ(solver.current_solution().distance, 14u);
  EXPECT_TRUE(solver.run_move(with_gap(reverse_segment, 0)));
  EXPECT_EQ(solver.current_solution().distance, 10u);
  EXPECT_FALSE(solver.run_move(with_gap(reverse_segment, 0)));
}

TEST(RunMoveTest, MinGapKeepsPairsApart) {
  // Cheap legs only along 0 -> 2 -> 1 -> 3 -> 0: exchanging the neighbours at
  // positions 1 and 2 is the one improving swap, and swap_pair with its gap
  // of 2 only tries positions 0 and 3.
  const DistanceMatrix matrix{{0, 10, 1, 10}, {10, 0, 10, 1}, {10, 1, 0, 10}, {1, 10, 10, 0}};
  Solver solver(Penalizer{matrix, std::nullopt}, std::nullopt);
  EXPECT_EQ(solver.current_solution().distance, 31u);
  EXPECT_FALSE(solver.run_move(with_gap(swap_pair, 2)));
  EXPECT_TRUE(solver.run_move(with_gap(swap_pair, 0)));
  EXPECT_EQ(solver.current_solution().route, (Route{0, 2, 1, 3}));
  EXPECT_EQ(solver.current_solution().distance, 4u);
}

TEST(RunMoveTest, NoPairMeansNoEvaluation) {
  // Only the identity's legs (and its rotations') exist in this ragged
  // matrix, so evaluating any swap of three locations would fail.
  const DistanceMatrix ragged{{0, 1}, {0, 0, 1}, {1}};
  Solver solver(Penalizer{ragged, std::nullopt}, std::nullopt);
  EXPECT_FALSE(solver.run_move(with_gap(swap_pair, 2)));
  EXPECT_FALSE(solver.run_move(with_gap(rotate_right_3, 5)));
  EXPECT_FAILURE(solver.run_move(with_gap(swap_pair, 1)), testing::index_message(1, 1));
  Solver single(Penalizer{{{4}}, std::nullopt}, std::nullopt);
  for (const PassEntry& entry : kPassTable) EXPECT_FALSE(single.run_move(entry));
}

TEST(RunMoveTest, TiesAreNeverAccepted) {
  // Reversing one of two locations gives the same closed tour.
  Solver solver(Penalizer{{{0, 3}, {3, 0}}, std::nullopt}, std::nullopt);
  EXPECT_FALSE(solver.run_move(with_gap(reverse_segment, 0)));
  EXPECT_EQ(solver.current_solution().route, identity(2));
}

TEST(SolveTest, WithoutLimitOneDescentReachesALocalOptimumDeterministically) {
  const DistanceMatrix matrix = random_matrix(12, 7);
  Solver first(Penalizer{matrix, std::nullopt}, std::nullopt);
  first.solve();
  Solver second(Penalizer{matrix, std::nullopt}, std::nullopt);
  second.solve();
  EXPECT_EQ(first.iterations(), 1u);
  EXPECT_EQ(first.best_solution().route, second.best_solution().route);
  const Penalizer objective{matrix, std::nullopt};
  EXPECT_LE(first.best_solution().distance, objective.penalize(identity(12), false).distance);
  // No move improves the result any more.
  Solver check(Penalizer{matrix, std::nullopt}, std::nullopt, first.best_solution().route);
  for (const PassEntry& entry : kPassTable) EXPECT_FALSE(check.run_move(entry));
}

TEST(SolveTest, ZeroLimitRunsNoDescentAndReturnsTheIdentityWithEvents) {
  TimeWindows all_day;
  all_day.windows.push_back(TimeWindow::make(testing::at(0, 0), testing::at(1, 0)));
  const Duration z = Duration::zero();
  Solver solver(Penalizer{line({0, 3, 1, 2}),
                          TimeScheduler{{{z, z, z, z}, {z, z, z, z}, {z, z, z, z}, {z, z, z, z}},
                                        {testing::seconds(1), testing::seconds(1),
                                         testing::seconds(1), testing::seconds(1)},
                                        {all_day, all_day, all_day, all_day},
                                        std::nullopt}},
                Duration::zero());
  solver.solve();
  EXPECT_EQ(solver.iterations(), 0u);
  EXPECT_EQ(solver.best_solution().route, identity(4));
  ASSERT_TRUE(solver.best_solution().time_report.has_value());
  // Four one-second jobs; zero-length legs leave no event.
  EXPECT_EQ(solver.best_solution().time_report->events.size(), 4u);
  EXPECT_GT(solver.time_taken(), Duration::zero());
}

TEST(SolveTest, TimeLimitRestartsAndKeepsTheBest) {
  const DistanceMatrix matrix = line({0, 7, 2, 9, 4, 1, 8, 3, 6, 5});
  Solver solver(Penalizer{matrix, std::nullopt}, Duration::from_nanoseconds(20'000'000));
  solver.solve();
  EXPECT_GT(solver.iterations(), 1u);
  EXPECT_EQ(solver.best_solution().distance, 18u);  // the optimum, 2 * (9 - 0)
  EXPECT_GT(solver.time_taken(), Duration::from_nanoseconds(20'000'000));
  Route sorted = solver.best_solution().route;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(sorted, identity(10));
}

TEST(SolveTest, InterruptCheckStopsTheSearchByThrowing) {
  struct Interrupted {};
  Solver solver(Penalizer{random_matrix(8, 3), std::nullopt}, Duration::from_seconds(60));
  int polls = 0;
  solver.set_interrupt_check([&] {
    if (++polls == 5) throw Interrupted{};
  });
  EXPECT_THROW(solver.solve(), Interrupted);
  EXPECT_EQ(polls, 5);
}

}  // namespace
}  // namespace tourwright
