#include "solver.hpp"

#include <algorithm>
#include <numeric>
#include <random>
#include <utility>

#include "fast/fast_eligibility.hpp"
#include "fast/fast_scan.hpp"

namespace tourwright {

namespace {

Route identity_route(std::size_t n) {
  Route route(n);
  std::iota(route.begin(), route.end(), std::size_t{0});
  return route;
}

// One generator per thread, seeded from the OS entropy source on first use,
// so concurrent searches never share generator state.
std::mt19937_64& thread_generator() {
  thread_local std::mt19937_64 generator = [] {
    std::random_device entropy;
    std::seed_seq seed{entropy(), entropy(), entropy(), entropy(),
                       entropy(), entropy(), entropy(), entropy()};
    return std::mt19937_64(seed);
  }();
  return generator;
}

}  // namespace

Solver::Solver(Penalizer penalizer, std::optional<Duration> time_limit,
               std::optional<Route> start_route, Evaluation evaluation)
    : time_limit_(time_limit),
      penalizer_(std::make_shared<const Penalizer>(std::move(penalizer))),
      size_(penalizer_->distance_matrix.size()),
      started_at_(SteadyClock::now()) {
  Route start = start_route ? std::move(*start_route) : identity_route(size_);
  // The fast search looks up where a job settles in a long window list, and,
  // where no schedule can overflow, takes runs of whole days at once; the
  // literal reference walks every window and every day.
  FastEligibility eligibility;
  if (evaluation == Evaluation::fast) {
    if (penalizer_->time_scheduler)
      shortcuts_ = std::make_unique<ScheduleShortcuts>(*penalizer_->time_scheduler);
    eligibility = fast_eligibility(*penalizer_, start.size());
    if (eligibility.exact && shortcuts_) shortcuts_->allow_whole_days();
  }
  current_solution_ = penalize(std::move(start), false);
  best_solution_ = current_solution_;
  if (eligibility.exact) {
    fast_scan_ =
        std::make_unique<FastScan>(penalizer_, shortcuts_.get(), eligibility, current_solution_);
  }
}

Solution Solver::penalize(Route route, bool record_events) const {
  return penalizer_->penalize(std::move(route), record_events, shortcuts_.get());
}

Solver::Solver(Solver&&) noexcept = default;
Solver& Solver::operator=(Solver&&) noexcept = default;
Solver::~Solver() = default;

const ScanCounters* Solver::scan_counters() const {
  return fast_scan_ ? &fast_scan_->counters() : nullptr;
}

void Solver::replace_current(Solution solution) {
  current_solution_ = std::move(solution);
  if (fast_scan_) fast_scan_->restart(current_solution_);
}

Duration Solver::elapsed() const {
  const auto nanoseconds =
      std::chrono::duration_cast<std::chrono::nanoseconds>(SteadyClock::now() - started_at_);
  return Duration::from_nanoseconds(nanoseconds.count());
}

bool Solver::limit_exceeded() const {
  if (interrupt_check_) interrupt_check_();
  return time_limit_ && elapsed() > *time_limit_;
}

Route Solver::shuffled_identity() const {
  Route route = identity_route(size_);
  auto& generator = thread_generator();
  // Fisher–Yates: every order equally likely.
  for (std::size_t k = size_; k-- > 1;) {
    std::uniform_int_distribution<std::size_t> position(0, k);
    std::swap(route[k], route[position(generator)]);
  }
  return route;
}

bool Solver::run_move(const PassEntry& entry) {
  FastScan* const fast = fast_scan_ && fast_scan_->handles(entry) ? fast_scan_.get() : nullptr;
  bool improved = false;
  for (std::size_t i = 0; i < size_; ++i) {
    // One pass takes seconds on a few hundred locations with time data, so
    // waiting for its end would leave Ctrl-C unanswered that long. Polling
    // once per row of the scan costs nothing and changes no result.
    if (interrupt_check_) interrupt_check_();
    if (fast ? fast->scan_row(entry, i) : scan_row_literally(entry, i)) {
      improved = true;
      if (fast) current_solution_ = fast->current();
    }
  }
  // A move the fast scan does not handle moved the route under it.
  if (improved && !fast && fast_scan_) fast_scan_->restart(current_solution_);
  return improved;
}

bool Solver::scan_row_literally(const PassEntry& entry, std::size_t i) {
  bool improved = false;
  for (std::size_t j = i + 1 + entry.min_gap; j < size_; ++j) {
    // Each candidate is a whole evaluation: a row at n = 2000 takes seconds.
    poll_interrupt();
    Route candidate_route = current_solution_.route;
    entry.move(candidate_route, i, j);
    Solution candidate = penalize(std::move(candidate_route), false);
    if (penalizer_->is_better(candidate, current_solution_)) {
      current_solution_ = std::move(candidate);
      improved = true;
    }
  }
  return improved;
}

bool Solver::run_pass() {
  bool improved = false;
  // Every move runs even after an earlier one improved the route.
  for (const PassEntry& entry : kPassTable) {
    improved = run_move(entry) || improved;
  }
  return improved;
}

void Solver::solve() {
  const InterruptScope polled_in_evaluations(interrupt_check_);
  started_at_ = SteadyClock::now();
  while (!limit_exceeded()) {
    ++iterations_;
    // The limit is tested before every pass, never inside one.
    while (!limit_exceeded() && run_pass()) {
    }
    // A descent cut short by the limit competes too; ties keep the earlier one.
    if (penalizer_->is_better(current_solution_, best_solution_))
      best_solution_ = current_solution_;
    if (!time_limit_) break;
    replace_current(penalize(shuffled_identity(), false));
  }
  best_solution_ = penalize(best_solution_.route, true);
  time_taken_ = elapsed();
}

}  // namespace tourwright
