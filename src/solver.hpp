#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

#include "fast/scan_counters.hpp"
#include "interrupt.hpp"
#include "local_moves.hpp"
#include "output.hpp"
#include "penalizer.hpp"
#include "time/duration.hpp"

namespace tourwright {

class FastScan;

// How candidates are evaluated: `literal` copies the route, applies the move
// and evaluates the copy from scratch (the reference); `fast` accepts exactly
// the same candidates in the same order, only sooner. Whether the fast path
// applies is decided once, at construction, from the input; where it does
// not (see fast_eligibility), `fast` runs the literal evaluation.
// Either way `fast` lets evaluations look up where a job settles in a long
// list of windows instead of walking it.
enum class Evaluation { literal, fast };

// Multi-start local search. The first descent starts from the identity order;
// with a time limit, further descents start from uniformly shuffled orders
// until the limit has passed. The best local optimum is kept.
class Solver {
 public:
  // Called before every descent, between passes and before every row of a
  // move scan, and during solve() every few thousand steps of an evaluation
  // (see InterruptScope); it stops the search by throwing.
  using InterruptCheck = tourwright::InterruptCheck;

  // Evaluates the start route (the identity order unless given); no search yet.
  Solver(Penalizer penalizer, std::optional<Duration> time_limit,
         std::optional<Route> start_route = std::nullopt, Evaluation evaluation = Evaluation::fast);
  Solver(Solver&&) noexcept;
  Solver& operator=(Solver&&) noexcept;
  ~Solver();

  void set_interrupt_check(InterruptCheck check) { interrupt_check_ = std::move(check); }

  // Runs the whole search, then evaluates the best route again with its
  // schedule events and records the time taken.
  void solve();

  // Tries the entry's move on every pair (i, j) with j ≥ i + 1 + min_gap, in
  // increasing order, accepting each candidate that beats the current
  // solution at once; the scan goes on from the accepted route. True if
  // anything was accepted.
  bool run_move(const PassEntry& entry);

  const Solution& best_solution() const { return best_solution_; }
  // Hands the best solution over (its schedule can be large) and leaves
  // the solver without one.
  Solution take_best_solution() { return std::move(best_solution_); }
  const Solution& current_solution() const { return current_solution_; }
  std::uint64_t iterations() const { return iterations_; }
  Duration time_taken() const { return time_taken_; }
  // What the fast scan did with its candidates, when it runs.
  const ScanCounters* scan_counters() const;

 private:
  // Elapsed time is measured on a monotonic clock: a wall clock stepped
  // backwards would stretch the search and report a negative time taken.
  using SteadyClock = std::chrono::steady_clock;

  bool run_pass();
  // Evaluates with the search's shortcuts.
  Solution penalize(Route route, bool record_events) const;
  // Row i of the literal scan: every candidate built and evaluated in full.
  bool scan_row_literally(const PassEntry& entry, std::size_t i);
  // The current solution is replaced (the start, and every restart).
  void replace_current(Solution solution);
  Duration elapsed() const;
  // Polls the interrupt check, then tests the time limit (strictly).
  bool limit_exceeded() const;
  Route shuffled_identity() const;

  std::optional<Duration> time_limit_;
  // Shared with the fast scan, which re-evaluates accepted routes with it.
  std::shared_ptr<const Penalizer> penalizer_;
  Solution current_solution_;
  Solution best_solution_;
  std::size_t size_;
  std::uint64_t iterations_ = 0;
  Duration time_taken_;
  SteadyClock::time_point started_at_;
  InterruptCheck interrupt_check_;
  // With time data in a fast search; read by every evaluation and the fast scan.
  std::unique_ptr<ScheduleShortcuts> shortcuts_;
  std::unique_ptr<FastScan> fast_scan_;  // only when the fast path is exact
};

}  // namespace tourwright
