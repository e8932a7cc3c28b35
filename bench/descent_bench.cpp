// Literal against fast evaluation, on the same inputs in one process.
//
// For every instance: one full deterministic descent (the search without a
// time limit) with the fast path; the literal path, once, on the same passes
// for as long as a time budget allows (the whole descent when it fits, and
// always for the time-window rows of n ≤ 200); the
// fast path again on exactly the calls the literal one completed, so both
// are timed on the same candidates; and a check that the current solutions
// are identical at that point. Fast timings are the quickest of a few runs. Then searches with a
// time limit per instance, and the longest pass such a search runs, which bounds how far it
// overruns.
//
// Usage: descent_bench [DATA_DIR] [--literal-budget SECONDS] [--limit SECONDS] [--runs N]
//                      [--repeats N] [--only NAME]
//        descent_bench --fast-only ... (no literal descent: the fast columns only)
//        descent_bench --pass-table   (only the longest pass by size and kind of input)
//        descent_bench --scale [--budget SECONDS] [--with-limit] [--smallest N] [--largest N]
//                              [--fast-only]
//                     (only time windows at n = 200 .. 2000, the first SECONDS of each descent)
//        descent_bench --memory       (only the peak memory of large inputs, per matrix cell)

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <limits>
#include <map>
#include <numeric>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "bench_instances.hpp"
#include "fast/move_shapes.hpp"
#include "solve.hpp"
#include "solver.hpp"

namespace tourwright::bench {
namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Instance {
  std::string name;
  std::function<Penalizer()> make;
  std::optional<std::uint64_t> best_known;  // tour length (distance) for TSPLIB
  bool literal_search = true;               // false where one literal pass takes minutes
  bool whole_literal = false;  // the literal descent runs to its end, whatever the budget
};

struct Descent {
  std::size_t calls = 0;  // run_move calls completed
  std::size_t passes = 0;
  std::uint64_t candidates = 0;
  double seconds = 0;
  bool finished = false;    // a whole pass improved nothing
  ScanCounters counters{};  // of the fast scan's schedules
};

std::uint64_t pairs(std::size_t n, std::size_t gap) {
  return n > gap + 1 ? std::uint64_t(n - 1 - gap) * (n - gap) / 2 : 0;
}

// The passes of a descent, call by call, until one pass improves nothing,
// `max_calls` calls are done or `budget` seconds have passed after a call.
Descent descend(Solver& solver, std::size_t n, std::size_t max_calls, double budget) {
  Descent descent;
  const auto start = Clock::now();
  for (bool improved = true; improved;) {
    improved = false;
    ++descent.passes;
    for (const PassEntry& entry : kPassTable) {
      if (descent.calls == max_calls || seconds_since(start) > budget) {
        descent.seconds = seconds_since(start);
        return descent;
      }
      improved = solver.run_move(entry) || improved;
      ++descent.calls;
      descent.candidates += pairs(n, entry.min_gap);
    }
  }
  descent.seconds = seconds_since(start);
  descent.finished = true;
  return descent;
}

bool same(const Solution& a, const Solution& b) {
  if (a.route != b.route || a.distance != b.distance) return false;
  if (a.time_report.has_value() != b.time_report.has_value()) return false;
  if (!a.time_report) return true;
  const TimeReport& x = *a.time_report;
  const TimeReport& y = *b.time_report;
  return x.lateness == y.lateness && x.traveling_time == y.traveling_time &&
         x.duration == y.duration && x.waiting_time == y.waiting_time &&
         x.working_time == y.working_time && x.start_time == y.start_time &&
         x.end_time == y.end_time;
}

std::string quality(const Solution& s, const std::optional<std::uint64_t>& best_known) {
  char text[96];
  if (s.time_report) {
    std::snprintf(text, sizeof text, "dist %llu, late %lld min",
                  static_cast<unsigned long long>(s.distance),
                  static_cast<long long>(s.time_report->lateness.seconds() / 60));
  } else if (best_known) {
    std::snprintf(text, sizeof text, "%llu (+%.1f%%)", static_cast<unsigned long long>(s.distance),
                  100.0 * (double(s.distance) / double(*best_known) - 1.0));
  } else {
    std::snprintf(text, sizeof text, "%llu", static_cast<unsigned long long>(s.distance));
  }
  return text;
}

// The fast path on the first `max_calls` calls of the descent, `repeats`
// times on fresh solvers; the quickest run is kept, since other work on the
// machine can only slow a run down. `result` gets the current solution.
Descent fastest(const Penalizer& penalizer, std::size_t max_calls, int repeats, Solution& result) {
  Descent best;
  for (int run = 0; run < repeats; ++run) {
    Solver solver(penalizer, std::nullopt, std::nullopt, Evaluation::fast);
    const Descent descent = descend(solver, penalizer.distance_matrix.size(), max_calls, 1e300);
    if (run == 0 || descent.seconds < best.seconds) best = descent;
    if (const ScanCounters* counters = solver.scan_counters()) best.counters = *counters;
    result = solver.current_solution();
  }
  return best;
}

// Per move, what the fast scan did with the candidates of a whole descent.
std::vector<std::string> counter_rows(const std::string& name, const ScanCounters& counters) {
  std::vector<std::string> rows;
  MoveCounters all;
  const auto row = [&](const char* move, const MoveCounters& c) {
    char text[256];
    std::snprintf(
        text, sizeof text, "| %s | %s | %.3g | %.1f%% | %.3g | %.1f | %llu |", name.c_str(), move,
        double(c.candidates), 100.0 * double(c.rejected_unsimulated) / double(c.candidates),
        double(c.simulated), double(c.positions) / double(std::max<std::uint64_t>(c.simulated, 1)),
        static_cast<unsigned long long>(c.accepted));
    rows.push_back(text);
  };
  for (std::size_t kind = 0; kind < counters.size(); ++kind) {
    const MoveCounters& c = counters[kind];
    if (c.candidates == 0) continue;
    row(kind_name(static_cast<MoveKind>(kind)), c);
    all += c;
  }
  if (all.candidates > 0) row("all", all);
  return rows;
}

std::vector<std::string> counter_table;

void print_counter_table(const char* which) {
  if (counter_table.empty()) return;
  std::printf(
      "\nWhat the fast scan did with the candidates %s, by move (time data only)\n\n| instance "
      "| move | candidates | rejected before simulating | simulated | positions per simulated | "
      "accepted |\n|---|---|---|---|---|---|---|\n",
      which);
  for (const std::string& row : counter_table) std::printf("%s\n", row.c_str());
  counter_table.clear();
}

void compare_descents(const Instance& instance, double literal_budget, int repeats) {
  const Penalizer penalizer = with_packed_durations(instance.make());
  const std::size_t n = penalizer.distance_matrix.size();

  Solution fast;
  const Descent full = fastest(penalizer, std::numeric_limits<std::size_t>::max(), repeats, fast);
  for (std::string& row : counter_rows(instance.name, full.counters))
    counter_table.push_back(std::move(row));

  Solver literal(penalizer, std::nullopt, std::nullopt, Evaluation::literal);
  const Descent measured =
      descend(literal, n, std::numeric_limits<std::size_t>::max(),
              instance.whole_literal && literal_budget >= 0 ? 1e300 : literal_budget);

  Solution fast_again;
  const Descent same_calls = fastest(penalizer, measured.calls, repeats, fast_again);

  const bool identical = same(fast_again, literal.current_solution()) &&
                         (!measured.finished || same(fast, literal.current_solution()));
  const double literal_ns = 1e9 * measured.seconds / double(measured.candidates);
  // A literal descent that finished makes both fast measurements whole
  // descents: the quickest of all their runs counts.
  const double fast_seconds =
      measured.finished ? std::min(full.seconds, same_calls.seconds) : same_calls.seconds;
  const double fast_ns_same = 1e9 * fast_seconds / double(same_calls.candidates);
  const double literal_descent =
      measured.finished ? measured.seconds : literal_ns * 1e-9 * double(full.candidates);
  char share[32];
  if (measured.finished) {
    std::snprintf(share, sizeof share, "whole");
  } else {
    std::snprintf(share, sizeof share, "%zu calls, %.0f%%", measured.calls,
                  100.0 * double(measured.candidates) / double(full.candidates));
  }
  std::printf(
      "| %s | %zu | %zu | %.3g | %.1f | %.1f | %s | %.0f | %.1f | **%.0f×** | %s%.1f | %s | %s |\n",
      instance.name.c_str(), n, full.passes, double(full.candidates), 1e3 * full.seconds,
      1e9 * full.seconds / double(full.candidates), share, literal_ns, fast_ns_same,
      literal_ns / fast_ns_same, measured.finished ? "" : "~", literal_descent,
      identical ? "yes" : "**NO**", quality(fast, instance.best_known).c_str());
  std::fflush(stdout);
  if (!identical) std::exit(1);
}

struct LimitedRun {
  std::uint64_t descents = 0;
  double overrun = 0;  // seconds taken minus the limit
  Solution best;
};

LimitedRun search_with_limit(const Penalizer& penalizer, double limit, Evaluation evaluation) {
  Solver solver(penalizer, Duration::from_nanoseconds(static_cast<std::int64_t>(limit * 1e9)),
                std::nullopt, evaluation);
  solver.solve();
  const double taken =
      double(solver.time_taken().seconds()) + solver.time_taken().subsec_nanos() * 1e-9;
  return {solver.iterations(), taken - limit, solver.best_solution()};
}

// The limit is tested only between passes, so a search overruns it by at
// most the pass in progress. This runs the passes such a search runs (a
// descent from the identity order, then from shuffled orders) for `budget`
// seconds, timing each, and returns the longest and how many there were.
std::pair<double, std::size_t> longest_pass(const Penalizer& penalizer, double budget) {
  const std::size_t n = penalizer.distance_matrix.size();
  std::mt19937_64 random(20'250'303);
  Route start(n);
  std::iota(start.begin(), start.end(), std::size_t{0});
  double longest = 0;
  std::size_t passes = 0;
  const auto begin = Clock::now();
  while (seconds_since(begin) <= budget) {
    Solver solver(penalizer, std::nullopt, start, Evaluation::fast);
    for (bool improved = true; improved && seconds_since(begin) <= budget;) {
      const auto pass_start = Clock::now();
      improved = false;
      for (const PassEntry& entry : kPassTable) improved = solver.run_move(entry) || improved;
      longest = std::max(longest, seconds_since(pass_start));
      ++passes;
    }
    std::shuffle(start.begin(), start.end(), random);
  }
  return {longest, passes};
}

// How far a time limit can be overrun, by size and kind of input: the
// longest pass of 1 s of descents (the first pass always runs to its end).
void pass_table() {
  std::printf(
      "Longest pass in 1 s of descents from the identity and shuffled orders (fast evaluation; "
      "random points, 1-5 windows per location, hours 08:00-17:00)\n\n"
      "| n | distances only, ms | windows, ms | windows and hours, ms |\n|---|---|---|---|\n");
  for (std::size_t n : {100, 200, 500, 1000}) {
    const std::uint64_t seed = 20'261'208 + n;
    std::printf("| %zu |", n);
    for (int kind = 0; kind < 3; ++kind) {
      const Penalizer penalizer =
          kind == 0 ? random_euclidean(n, seed)
                    : with_packed_durations(windowed_instance(n, seed, kind == 2));
      const auto [longest, passes] = longest_pass(penalizer, 1.0);
      std::printf(" %.1f (of %zu) |", 1e3 * longest, passes);
      std::fflush(stdout);
    }
    std::printf("\n");
  }
}

// One field of /proc/self/status (VmRSS, VmHWM), in bytes.
double status_bytes(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field + ":", 0) == 0) return 1024.0 * std::atof(line.c_str() + field.size() + 1);
  }
  return 0;
}

// Peak memory of a large solve that runs no descent (time_limit 0): the
// matrices as the bindings hand them over (64-bit rows), the conversion,
// the solver with its fast tables, and the final schedule. Each row runs in
// a process of its own, as the peak is the process's; bytes per cell are
// that peak over n^2, less what the process held before the input.
void memory_row(std::size_t n, bool time_data) {
  const double before = status_bytes("VmRSS");
  SolveInput input;
  DistanceMatrix rows = random_euclidean_rows(n, 20'261'208 + n);
  if (time_data) {
    RawMatrix seconds(n);
    for (std::size_t a = 0; a < n; ++a) {
      for (const std::uint64_t distance : rows[a]) seconds[a].push_back(distance / 1'000);
    }
    input.duration_matrix = std::move(seconds);
    input.job_durations = std::vector<std::uint64_t>(n, 900);
    const std::uint64_t day_one = 1'735'689'600;  // 2025-01-01T00:00:00Z
    input.time_windows = RawWindows(n, {{day_one, day_one + 30 * 86'400}});
    input.operation_times = RawPair{8 * 3'600, 17 * 3'600};
  }
  input.distance_matrix = std::move(rows);
  input.time_limit = 0;
  const double with_input = status_bytes("VmRSS") - before;
  solve(std::move(input));
  const double peak = status_bytes("VmHWM") - before;
  constexpr double kMiB = 1024.0 * 1024.0;
  const double cells = double(n) * double(n);
  std::printf("| %zu | %s | %.0f | %.0f | %.1f |\n", n, time_data ? "yes" : "no", with_input / kMiB,
              peak / kMiB, peak / cells);
  std::fflush(stdout);
}

void memory_table() {
  std::printf(
      "Memory of the core (random points, distances below 2^32, travel in whole seconds; no "
      "descent run)\n\n| n | time data | input as 64-bit rows MiB | peak MiB | peak bytes per "
      "matrix cell |\n|---|---|---|---|---|\n");
  std::fflush(stdout);
  for (const auto& [n, time_data] :
       {std::pair{std::size_t{3'000}, false}, std::pair{std::size_t{3'000}, true},
        std::pair{std::size_t{5'000}, false}, std::pair{std::size_t{5'000}, true},
        std::pair{std::size_t{20'000}, false}}) {
    const pid_t child = fork();
    if (child == 0) {
      memory_row(n, time_data);
      std::_Exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
  }
}

// Time windows from 200 to 2000 locations: the fast scan over the first
// `budget` seconds of a descent from the identity order (the whole descent
// when it ends sooner), with its counters; at n = 200 the literal scan on
// the same calls, which must end at the same solution; and, for one window
// per location, how long a search with time_limit = 1 s takes to return
// (only where the first pass ended within the budget).
void scale_row(std::size_t n, std::int64_t most_windows, bool hours, double budget,
               bool with_literal, bool with_limit) {
  const Penalizer penalizer =
      with_packed_durations(scale_instance(n, 20'261'209 + n, most_windows, hours));
  Solver solver(penalizer, std::nullopt, std::nullopt, Evaluation::fast);
  const Descent fast = descend(solver, n, std::numeric_limits<std::size_t>::max(), budget);
  MoveCounters all;
  for (const MoveCounters& c : *solver.scan_counters()) all += c;
  char name[64];
  std::snprintf(name, sizeof name, "n = %zu, %s windows%s", n, most_windows == 1 ? "1" : "1-3",
                hours ? ", hours" : "");
  for (std::string& row : counter_rows(name, *solver.scan_counters()))
    counter_table.push_back(std::move(row));
  std::string ratio = "-";
  if (n <= 200 && with_literal) {
    Solver literal(penalizer, std::nullopt, std::nullopt, Evaluation::literal);
    const Descent measured = descend(literal, n, fast.calls, 3.0);
    Solution again;
    const Descent same_calls = fastest(penalizer, measured.calls, 3, again);
    if (!same(again, literal.current_solution())) {
      std::printf("| %zu | literal and fast differ |\n", n);
      std::exit(1);
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.0f× (%zu calls)",
                  measured.seconds / double(measured.candidates) /
                      (same_calls.seconds / double(same_calls.candidates)),
                  measured.calls);
    ratio = text;
  }
  // The search returns after its first pass at the earliest.
  std::string limited = "-";
  if (with_limit && most_windows == 1) {
    char text[32];
    if (fast.passes > 1 || fast.finished) {
      std::snprintf(text, sizeof text, "%.1f",
                    1.0 + search_with_limit(penalizer, 1.0, Evaluation::fast).overrun);
    } else {
      std::snprintf(text, sizeof text, "> %.0f", fast.seconds);
    }
    limited = text;
  }
  char descent[48];
  if (fast.finished) {
    std::snprintf(descent, sizeof descent, "%.2f", 1.0 / fast.seconds);
  } else {
    std::snprintf(descent, sizeof descent, "< %.3f (pass %zu, call %zu)", 1.0 / fast.seconds,
                  fast.passes, fast.calls);
  }
  std::printf("| %zu | %s | %s | %.3g | %llu | %.1f | %.1f%% | %.1f | %s | %s | %s |\n", n,
              most_windows == 1 ? "1" : "1-3", hours ? "08-17" : "-", double(all.candidates),
              static_cast<unsigned long long>(all.accepted),
              1e9 * fast.seconds / double(all.candidates),
              100.0 * double(all.rejected_unsimulated) / double(all.candidates),
              double(all.positions) / double(std::max<std::uint64_t>(all.simulated, 1)), descent,
              ratio.c_str(), limited.c_str());
  std::fflush(stdout);
}

// Instances like the classic TSPTW sets at sizes they stop short of, each
// with a tour without lateness: how late the best tour still is after a
// search of 2 s and of 5 s, and when the search returned.
void classic_table(std::size_t largest) {
  std::printf(
      "\nClassic-like instances (windows of ±50 minutes around a nearest-neighbour tour, which "
      "is on time; jobs of one minute)\n\n| n | time_limit s | returned after s | descents begun "
      "| lateness min |\n|---|---|---|---|---|\n");
  for (std::size_t n : {500, 1000}) {
    if (n > largest) break;
    const Penalizer penalizer =
        with_packed_durations(nearest_neighbour_window_instance(n, 20'261'209 + n, 50));
    for (double limit : {2.0, 5.0}) {
      const LimitedRun run = search_with_limit(penalizer, limit, Evaluation::fast);
      std::printf("| %zu | %.0f | %.1f | %llu | %lld |\n", n, limit, limit + run.overrun,
                  static_cast<unsigned long long>(run.descents),
                  static_cast<long long>(run.best.time_report->lateness.seconds() / 60));
      std::fflush(stdout);
    }
  }
}

void scale_table(double budget, bool with_literal, bool with_limit, std::size_t smallest,
                 std::size_t largest) {
  std::printf(
      "Time windows by size: the first %.0f s of a fast descent from the identity order "
      "(random points, windows on distinct days, jobs of 15-60 min)\n\n"
      "| n | windows | hours | candidates | accepted | fast ns/cand | judged without simulating | "
      "positions per simulated | descents/s | literal/fast | time_limit = 1 s returns after s "
      "|\n|---|---|---|---|---|---|---|---|---|---|---|\n",
      budget);
  for (std::size_t n : {200, 400, 800, 1600, 2000}) {
    if (n < smallest) continue;
    if (n > largest) break;
    for (std::int64_t most_windows : {1, 3}) {
      for (bool hours : {false, true})
        scale_row(n, most_windows, hours, budget, with_literal, with_limit);
    }
  }
  print_counter_table("over the same calls");
  classic_table(largest);
}

void time_limited(const Instance& instance, double limit, Evaluation evaluation, int runs) {
  const Penalizer penalizer = with_packed_durations(instance.make());
  std::vector<LimitedRun> results;
  for (int run = 0; run < runs; ++run)
    results.push_back(search_with_limit(penalizer, limit, evaluation));
  std::vector<double> overruns;
  std::vector<double> descents;
  for (const LimitedRun& result : results) {
    overruns.push_back(1e3 * result.overrun);
    descents.push_back(double(result.descents) / (limit + result.overrun));
  }
  std::sort(overruns.begin(), overruns.end());
  std::sort(descents.begin(), descents.end());
  const Solution& best =
      std::min_element(results.begin(), results.end(), [&](const auto& a, const auto& b) {
        return penalizer.is_better(a.best, b.best);
      })->best;
  std::string pass;
  if (evaluation == Evaluation::fast) {
    const auto [longest, passes] = longest_pass(penalizer, limit);
    char text[48];
    std::snprintf(text, sizeof text, "%.1f (of %zu)", 1e3 * longest, passes);
    pass = text;
  }
  std::printf("| %s | %s | %d | %.2f | %.1f | %.1f | %s | %s |\n", instance.name.c_str(),
              evaluation == Evaluation::fast ? "fast" : "literal", runs,
              descents[descents.size() / 2], overruns[overruns.size() / 2], overruns.back(),
              pass.c_str(), quality(best, instance.best_known).c_str());
  std::fflush(stdout);
}

std::map<std::string, std::uint64_t> optima(const std::string& path) {
  std::map<std::string, std::uint64_t> values;
  std::ifstream file(path);
  std::string line;
  std::getline(file, line);  // header
  while (std::getline(file, line)) {
    const auto comma = line.find(',');
    if (comma != std::string::npos)
      values[line.substr(0, comma)] = std::stoull(line.substr(comma + 1));
  }
  return values;
}

std::vector<Instance> instances(const std::string& data) {
  std::vector<Instance> list;
  const auto known = optima(data + "/tsplib/optima.csv");
  for (const char* name :
       {"berlin52", "kroA100", "kroA200", "a280", "pcb442", "rat783", "dsj1000"}) {
    const std::string path = data + "/tsplib/" + name + ".tsp";
    std::optional<std::uint64_t> best;
    if (const auto found = known.find(name); found != known.end()) best = found->second;
    list.push_back({name, [path] { return tsplib_instance(path); }, best});
  }
  for (std::size_t n : {100, 200, 500, 1000}) {
    list.push_back(
        {"random" + std::to_string(n), [n] { return random_euclidean(n, 20'250'303 + n); }, {}});
  }
  for (const char* name : {"n100w20.001", "n150w20.001", "n200w20.001", "n200w40.001"}) {
    for (bool hours : {false, true}) {
      const std::string path = data + "/tsptw/" + name + ".txt";
      list.push_back({std::string(name) + (hours ? " +hours" : ""),
                      [path, hours] { return tsptw_instance(path, hours); },
                      {},
                      true,
                      true});
    }
  }
  for (std::size_t n : {100, 200, 400}) {
    for (bool hours : {false, true}) {
      list.push_back({"windows2-4 n" + std::to_string(n) + (hours ? " +hours" : ""),
                      [n, hours] { return several_windows_instance(n, 20'261'209 + n, hours); },
                      {},
                      true,
                      n <= 200});
    }
  }
  // "No deadline" as the end of year 9999, beside the same instance with
  // windows ending 2200-01-01.
  for (const auto& [until, last_end] : {std::pair{"9999", std::int64_t{253'402'300'799}},
                                        std::pair{"2200", std::int64_t{7'258'118'400}}}) {
    list.push_back({std::string("open500 until ") + until,
                    [last_end] { return open_window_instance(500, 20'261'208, last_end); },
                    {}});
  }
  // The same instances far from 1970: clocks count from the earliest
  // window's day, so the year 50,000 and an instance written in
  // milliseconds (read as seconds) run as fast as their twins near 2026.
  constexpr std::int64_t kYear50000 = 17'542'597;  // days since 1970
  constexpr std::int64_t kYear2026 = 20'454;
  list.push_back(
      {"windows n200 +hours 2025", [] { return windowed_instance(200, 20'261'210, true); }, {}});
  list.push_back({"windows n200 +hours year 50000",
                  [] {
                    Penalizer twin = windowed_instance(200, 20'261'210, true);
                    const std::int64_t days = kYear50000 - first_window_day(twin);
                    return shifted_by_days(std::move(twin), days);
                  },
                  {}});
  list.push_back({"windows n200 in ms (year 56000)",
                  [] { return in_milliseconds(windowed_instance(200, 20'261'210, false)); },
                  {}});
  list.push_back({"windows n200 in ms, shifted to 2026",
                  [] {
                    Penalizer twin = in_milliseconds(windowed_instance(200, 20'261'210, false));
                    const std::int64_t days = kYear2026 - first_window_day(twin);
                    return shifted_by_days(std::move(twin), days);
                  },
                  {}});
  // Actions of many pieces: long jobs under an hour, or a second, a day.
  for (const auto& [label, open, most_days] :
       {std::tuple{"1h/day", std::int64_t{3'600}, std::int64_t{40}},
        std::tuple{"1s/day", std::int64_t{1}, std::int64_t{2'000}}}) {
    list.push_back(
        {std::string("longjobs20 ") + label,
         [open, most_days] { return long_job_instance(20, 20'261'209, open, most_days); },
         {}});
  }
  for (std::size_t windows : {100'000, 1'000'000}) {
    list.push_back({"crowded30 " + std::to_string(windows) + " windows",
                    [windows] { return crowded_window_instance(30, 20'261'209, windows); },
                    {},
                    false});
  }
  return list;
}

}  // namespace
}  // namespace tourwright::bench

int main(int argc, char** argv) {
  using namespace tourwright::bench;
  std::string data = TOURWRIGHT_DATA_DIR;
  double literal_budget = 3.0;
  double limit = 1.0;
  int runs = 3;
  int repeats = 3;
  std::string only;
  bool scale = false;
  double budget = 10.0;
  bool with_limit = false;
  std::size_t smallest = 0;
  std::size_t largest = 2'000;
  for (int k = 1; k < argc; ++k) {
    const std::string arg = argv[k];
    if (arg == "--literal-budget" && k + 1 < argc)
      literal_budget = std::atof(argv[++k]);
    else if (arg == "--fast-only")
      literal_budget = -1;
    else if (arg == "--limit" && k + 1 < argc)
      limit = std::atof(argv[++k]);
    else if (arg == "--runs" && k + 1 < argc)
      runs = std::max(1, std::atoi(argv[++k]));
    else if (arg == "--repeats" && k + 1 < argc)
      repeats = std::max(1, std::atoi(argv[++k]));
    else if (arg == "--memory") {
      memory_table();
      return 0;
    } else if (arg == "--scale") {
      scale = true;
    } else if (arg == "--budget" && k + 1 < argc) {
      budget = std::atof(argv[++k]);
    } else if (arg == "--with-limit") {
      with_limit = true;
    } else if (arg == "--smallest" && k + 1 < argc) {
      smallest = static_cast<std::size_t>(std::atol(argv[++k]));
    } else if (arg == "--largest" && k + 1 < argc) {
      largest = static_cast<std::size_t>(std::atol(argv[++k]));
    } else if (arg == "--pass-table") {
      pass_table();
      return 0;
    } else if (arg == "--only" && k + 1 < argc)
      only = argv[++k];
    else
      data = arg;
  }
  if (scale) {
    scale_table(budget, literal_budget >= 0, with_limit, smallest, largest);
    return 0;
  }
  const auto list = instances(data);
  const auto selected = [&](const Instance& instance) {
    return only.empty() || instance.name.find(only) != std::string::npos;
  };

  std::printf(
      "One descent without time limit (fast: quickest of %d runs; literal: one run, measured for "
      "up to "
      "%.0f s of whole run_move calls)\n\n",
      repeats, literal_budget);
  std::printf(
      "| instance | n | passes | candidates | fast ms/descent | fast ns/cand | literal measured on "
      "| "
      "literal ns/cand | fast ns/cand, same calls | literal/fast | literal s/descent | identical | "
      "local optimum |\n|---|---|---|---|---|---|---|---|---|---|---|---|---|\n");
  for (const Instance& instance : list) {
    if (selected(instance)) compare_descents(instance, literal_budget, repeats);
  }

  print_counter_table("of each descent above");

  std::printf(
      "\nSearch with time_limit = %.1f s, %d runs each (median and largest overrun); longest pass "
      "seen "
      "in %.1f s of descents from the identity and shuffled orders\n\n",
      limit, runs, limit);
  std::printf(
      "| instance | evaluation | runs | descents/s (median) | overrun ms (median) | overrun ms "
      "(max) | "
      "longest pass ms (of passes) | best |\n|---|---|---|---|---|---|---|---|\n");
  for (const Instance& instance : list) {
    if (!selected(instance)) continue;
    time_limited(instance, limit, tourwright::Evaluation::fast, runs);
    if (instance.literal_search && instance.make().distance_matrix.size() <= 100)
      time_limited(instance, limit, tourwright::Evaluation::literal, 1);
  }
  return 0;
}
