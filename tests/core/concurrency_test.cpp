// Searches on several threads at once share nothing: each has its own solver
// and its own random generator, so each finds what it finds alone.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <thread>
#include <vector>

#include "solver.hpp"

namespace tourwright {
namespace {

constexpr int kThreads = 8;

DistanceMatrix line(const std::vector<std::int64_t>& x) {
  DistanceMatrix matrix(x.size(), std::vector<std::uint64_t>(x.size()));
  for (std::size_t a = 0; a < x.size(); ++a) {
    for (std::size_t b = 0; b < x.size(); ++b) {
      matrix[a][b] = static_cast<std::uint64_t>(std::llabs(x[a] - x[b]));
    }
  }
  return matrix;
}

TEST(ConcurrencyTest, TimedSearchesOnEightThreadsEachFindTheOptimum) {
  // Ten points on a line: the best closed tour is 2 * (9 - 0) = 18.
  const DistanceMatrix matrix = line({0, 7, 2, 9, 4, 1, 8, 3, 6, 5});
  std::vector<Solution> best(kThreads);
  std::vector<std::uint64_t> iterations(kThreads);
  std::vector<std::thread> threads;
  for (int k = 0; k < kThreads; ++k) {
    threads.emplace_back([&, k] {
      Solver solver(Penalizer{matrix, std::nullopt}, Duration::from_nanoseconds(30'000'000));
      solver.solve();
      best[k] = solver.best_solution();
      iterations[k] = solver.iterations();
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int k = 0; k < kThreads; ++k) {
    EXPECT_EQ(best[k].distance, 18u) << "thread " << k;
    EXPECT_GT(iterations[k], 1u) << "thread " << k;
  }
}

TEST(ConcurrencyTest, UntimedSearchesOnEightThreadsMatchASequentialOne) {
  const DistanceMatrix matrix = line({5, 3, 8, 1, 9, 2, 7, 4, 6, 0});
  Solver reference(Penalizer{matrix, std::nullopt}, std::nullopt);
  reference.solve();
  std::vector<Route> routes(kThreads);
  std::vector<std::thread> threads;
  for (int k = 0; k < kThreads; ++k) {
    threads.emplace_back([&, k] {
      Solver solver(Penalizer{matrix, std::nullopt}, std::nullopt);
      solver.solve();
      routes[k] = solver.best_solution().route;
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (const Route& route : routes) EXPECT_EQ(route, reference.best_solution().route);
}

}  // namespace
}  // namespace tourwright
