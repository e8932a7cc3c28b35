// The interrupt check (Ctrl-C from Python) is polled often enough that a
// long pass does not delay it: before every row of a move scan, whichever
// way candidates are evaluated.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "local_moves.hpp"
#include "solver.hpp"

namespace tourwright {
namespace {

DistanceMatrix ring(std::size_t n) {
  DistanceMatrix matrix(n, std::vector<std::uint64_t>(n));
  for (std::size_t a = 0; a < n; ++a) {
    for (std::size_t b = 0; b < n; ++b) matrix[a][b] = (a * 7 + b * 13) % 17;
  }
  return matrix;
}

class InterruptTest : public ::testing::TestWithParam<Evaluation> {};

TEST_P(InterruptTest, PolledOnceForEveryRowOfAMoveScan) {
  for (std::size_t n : {1u, 2u, 6u, 11u}) {
    Solver solver(Penalizer{ring(n), std::nullopt}, std::nullopt, std::nullopt, GetParam());
    std::size_t polls = 0;
    solver.set_interrupt_check([&] { ++polls; });
    solver.run_move(kPassTable[0]);
    EXPECT_EQ(polls, n) << "n = " << n;
  }
}

TEST_P(InterruptTest, AThrowInsideAPassStopsTheSearchThere) {
  struct Interrupted {};
  Solver solver(Penalizer{ring(12), std::nullopt}, std::nullopt, std::nullopt, GetParam());
  std::size_t polls = 0;
  // Poll 1 precedes the first descent, poll 2 its first pass; poll 3 is the
  // first row of the pass's first move.
  solver.set_interrupt_check([&] {
    if (++polls == 3) throw Interrupted{};
  });
  EXPECT_THROW(solver.solve(), Interrupted);
  EXPECT_EQ(polls, 3u);
  EXPECT_EQ(solver.iterations(), 1u);
}

INSTANTIATE_TEST_SUITE_P(BothEvaluations, InterruptTest,
                         ::testing::Values(Evaluation::literal, Evaluation::fast));

TEST(InterruptPollingTest, PollingChangesNoResult) {
  Solver quiet(Penalizer{ring(12), std::nullopt}, std::nullopt, std::nullopt, Evaluation::literal);
  quiet.solve();
  Solver polled(Penalizer{ring(12), std::nullopt}, std::nullopt, std::nullopt, Evaluation::literal);
  std::size_t polls = 0;
  polled.set_interrupt_check([&] { ++polls; });
  polled.solve();
  EXPECT_GT(polls, 12u);
  EXPECT_EQ(polled.best_solution().route, quiet.best_solution().route);
  EXPECT_EQ(polled.best_solution().distance, quiet.best_solution().distance);
}

}  // namespace
}  // namespace tourwright
