// One full scan of each move of the pass table from a local optimum (so that
// nothing is accepted and every iteration does the same work), per
// evaluation, on a distance-only and two time-window instances. Reports the
// time per candidate; the literal-against-fast ratio over whole descents is
// descent_bench's.
//
// Usage: move_scan_bench [Google Benchmark flags], e.g. --benchmark_filter=fast

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "bench_instances.hpp"
#include "local_moves.hpp"
#include "solver.hpp"

namespace tourwright::bench {
namespace {

struct Instance {
  std::string name;
  std::function<Penalizer()> make;
};

// The local optimum of the deterministic descent, found once per instance.
const Route& local_optimum(const Instance& instance) {
  static std::vector<std::pair<std::string, Route>> found;
  for (const auto& [name, route] : found) {
    if (name == instance.name) return route;
  }
  Solver solver(with_packed_durations(instance.make()), std::nullopt);
  solver.solve();
  found.emplace_back(instance.name, solver.best_solution().route);
  return found.back().second;
}

std::uint64_t candidates(std::size_t n, std::size_t gap) {
  return n > gap + 1 ? std::uint64_t(n - 1 - gap) * (n - gap) / 2 : 0;
}

void scan(benchmark::State& state, const Instance& instance, const PassEntry& entry,
          Evaluation evaluation) {
  Solver solver(with_packed_durations(instance.make()), std::nullopt, local_optimum(instance),
                evaluation);
  const std::size_t n = solver.current_solution().route.size();
  for (auto _ : state) {
    if (solver.run_move(entry)) state.SkipWithError("the scan accepted a candidate");
  }
  // Seconds per candidate, printed with SI prefixes (2.1n is 2.1 ns).
  state.counters["s/candidate"] = benchmark::Counter(
      static_cast<double>(candidates(n, entry.min_gap)),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void register_all() {
  const std::string data = TOURWRIGHT_DATA_DIR;
  const std::vector<Instance> instances{
      {"kroA200", [data] { return tsplib_instance(data + "/tsplib/kroA200.tsp"); }},
      {"n200w20.001", [data] { return tsptw_instance(data + "/tsptw/n200w20.001.txt", false); }},
      {"n200w20.001+hours",
       [data] { return tsptw_instance(data + "/tsptw/n200w20.001.txt", true); }},
  };
  for (const Instance& instance : instances) {
    for (const PassEntry& entry : kPassTable) {
      for (const auto& [label, evaluation] :
           {std::pair{"fast", Evaluation::fast}, std::pair{"literal", Evaluation::literal}}) {
        const std::string name = "scan/" + instance.name + "/" + entry.name + "/" + label;
        benchmark::RegisterBenchmark(name.c_str(), [instance, &entry,
                                                    evaluation](benchmark::State& s) {
          scan(s, instance, entry, evaluation);
        })->Unit(benchmark::kMicrosecond);
      }
    }
  }
}

}  // namespace
}  // namespace tourwright::bench

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  tourwright::bench::register_all();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
