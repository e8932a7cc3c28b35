#include "core_properties.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <exception>
#include <numeric>
#include <optional>
#include <string_view>
#include <utility>

#include "failure.hpp"
#include "fuzz_case.hpp"
#include "messages.hpp"
#include "penalizer.hpp"
#include "solve.hpp"
#include "solver.hpp"

namespace tourwright::fuzzing {

namespace {

struct Violation {
  std::string what;
};

void require(bool holds, std::string_view what) {
  if (!holds) throw Violation{std::string(what)};
}

bool is_index_message(std::string_view message) {
  // "index out of bounds: the len is L but the index is I"
  auto skip_number = [&message]() {
    const auto digits = std::find_if_not(message.begin(), message.end(),
                                         [](char c) { return std::isdigit(c) != 0; });
    const bool found = digits != message.begin();
    message.remove_prefix(static_cast<std::size_t>(digits - message.begin()));
    return found;
  };
  auto skip_text = [&message](std::string_view text) {
    if (!message.starts_with(text)) return false;
    message.remove_prefix(text.size());
    return true;
  };
  return skip_text(messages::kIndexPrefix) && skip_number() && skip_text(messages::kIndexMiddle) &&
         skip_number() && message.empty();
}

bool is_known_failure(std::string_view message) {
  static constexpr std::array<std::string_view, 8> kFixed{
      messages::kSecondsOutOfBounds,  messages::kUnwrapNone,
      messages::kWindowStartAfterEnd, messages::kHoursStartNotBeforeEnd,
      messages::kDurationSumOverflow, messages::kDurationDifferenceOverflow,
      messages::kDateTimeSumOverflow, messages::kDateTimeDifferenceOverflow,
  };
  return std::find(kFixed.begin(), kFixed.end(), message) != kFixed.end() ||
         is_index_message(message);
}

// What a core call gave: its value, or the message of its Failure.
template <class Value>
struct Outcome {
  std::optional<Value> value;
  std::string failure;
};

// Runs `call`; a Failure must carry a known message. Any other exception is
// left to propagate: it is a broken invariant in itself.
template <class Call>
auto attempt(Call&& call) -> Outcome<decltype(call())> {
  try {
    return {call(), {}};
  } catch (const Failure& failure) {
    require(is_known_failure(failure.what()),
            std::string("unknown failure message: ") + failure.what());
    return {std::nullopt, failure.what()};
  }
}

bool same_totals(const TimeReport& a, const TimeReport& b) {
  return a.duration == b.duration && a.lateness == b.lateness && a.working_time == b.working_time &&
         a.waiting_time == b.waiting_time && a.traveling_time == b.traveling_time &&
         a.start_time == b.start_time && a.end_time == b.end_time;
}

// The report's own invariants; its events must tile it when recorded.
void check_report(const TimeReport& report, bool recorded) {
  for (Duration total : {report.duration, report.lateness, report.working_time, report.waiting_time,
                         report.traveling_time}) {
    require(total >= Duration::zero(), "a total is negative");
  }
  // Each total is at most the duration, which is in range: the sum cannot overflow.
  require(report.working_time + report.waiting_time + report.traveling_time == report.duration,
          "duration != working + waiting + traveling");
  require(report.end_time - report.start_time == report.duration,
          "end_time - start_time != duration");
  if (!recorded) {
    require(report.events.empty(), "events recorded although not asked for");
    return;
  }
  std::array<Duration, 3> per_kind{};  // Work, Travel, Wait
  DateTime cursor = report.start_time;
  for (const Event& event : report.events) {
    require(event.window.start == cursor, "events leave a gap or overlap");
    require(event.window.start < event.window.end, "an event window is empty");
    per_kind[static_cast<std::size_t>(event.kind)] += event.window.end - event.window.start;
    cursor = event.window.end;
  }
  require(cursor == report.end_time, "events do not end at end_time");
  require(per_kind[0] == report.working_time && per_kind[1] == report.traveling_time &&
              per_kind[2] == report.waiting_time,
          "event lengths do not add up to the totals");
}

void check_solution(const Penalizer& penalizer, const Solution& solution, bool recorded) {
  require(solution.time_report.has_value() == penalizer.time_scheduler.has_value(),
          "time report present without time data, or missing with it");
  if (solution.time_report) check_report(*solution.time_report, recorded);
  require(!penalizer.is_better(solution, solution), "a solution is better than itself");
}

// Evaluates `route` with and without events; returns the plain evaluation.
std::optional<Solution> check_penalize(const Penalizer& penalizer, const Route& route) {
  Outcome<Solution> plain = attempt([&] { return penalizer.penalize(route, false); });
  Outcome<Solution> recorded = attempt([&] { return penalizer.penalize(route, true); });
  require(plain.failure == recorded.failure, "recording events changes the failure");
  if (!plain.value) return std::nullopt;
  check_solution(penalizer, *plain.value, false);
  check_solution(penalizer, *recorded.value, true);
  require(plain.value->distance == recorded.value->distance, "recording events changes distance");
  if (plain.value->time_report) {
    require(same_totals(*plain.value->time_report, *recorded.value->time_report),
            "recording events changes a total, start or end");
  }
  require(!penalizer.is_better(*plain.value, *recorded.value) &&
              !penalizer.is_better(*recorded.value, *plain.value),
          "equal solutions are ordered");
  return plain.value;
}

bool is_permutation_of_locations(const Route& route, std::size_t n) {
  Route sorted = route;
  std::sort(sorted.begin(), sorted.end());
  Route identity(n);
  std::iota(identity.begin(), identity.end(), std::size_t{0});
  return sorted == identity;
}

bool same_result(const SolveOutput& a, const SolveOutput& b) {
  const Solution& x = a.best_solution;
  const Solution& y = b.best_solution;
  if (x.route != y.route || x.distance != y.distance || a.iterations != b.iterations) return false;
  if (x.time_report.has_value() != y.time_report.has_value()) return false;
  return !x.time_report || (same_totals(*x.time_report, *y.time_report) &&
                            x.time_report->events == y.time_report->events);
}

Outcome<SolveOutput> descend(const Penalizer& penalizer, Evaluation evaluation) {
  return attempt([&] {
    Solver solver(penalizer, std::nullopt, std::nullopt, evaluation);
    solver.solve();
    return SolveOutput{solver.best_solution(), solver.iterations(), solver.time_taken()};
  });
}

// One descent in each evaluation mode; returns the literal one.
Outcome<SolveOutput> check_descent(const Penalizer& penalizer) {
  Outcome<SolveOutput> literal = descend(penalizer, Evaluation::literal);
  const Outcome<SolveOutput> fast = descend(penalizer, Evaluation::fast);
  require(literal.failure == fast.failure, "literal and fast evaluation fail differently");
  if (!literal.value) return literal;
  require(same_result(*literal.value, *fast.value), "literal and fast evaluation disagree");
  const Solution& best = literal.value->best_solution;
  require(literal.value->iterations == 1, "a search without limit ran other than one descent");
  require(is_permutation_of_locations(best.route, penalizer.distance_matrix.size()),
          "the best route is not a permutation");
  check_solution(penalizer, best, true);
  Route identity(penalizer.distance_matrix.size());
  std::iota(identity.begin(), identity.end(), std::size_t{0});
  require(!penalizer.is_better(penalizer.penalize(identity, false), best),
          "the descent ended worse than it started");
  return literal;
}

struct Interrupted {};

void check_pipeline(const FuzzCase& fuzz_case, const std::string& conversion_failure,
                    const Outcome<SolveOutput>& descent) {
  unsigned polls = 0;
  auto interrupt_check = [&] {
    if (++polls == fuzz_case.interrupt_on_poll) throw Interrupted{};
  };
  Outcome<SolveOutput> solved;
  bool interrupted = false;
  try {
    solved = attempt([&] { return solve(fuzz_case.input, interrupt_check); });
  } catch (const Interrupted&) {
    interrupted = true;
  }
  const auto& limit = fuzz_case.input.time_limit;
  // Converting the time data polls too, so an interrupt may come first.
  if (interrupted) {
    require(polls == fuzz_case.interrupt_on_poll, "interrupted on the wrong poll");
    return;
  }
  if (!conversion_failure.empty()) {
    require(solved.failure == conversion_failure, "solve() reports another conversion failure");
    return;
  }
  if (limit && *limit > static_cast<std::uint64_t>(Duration::kMaxWholeSeconds)) {
    require(solved.failure == messages::kSecondsOutOfBounds, "time limit not refused");
    return;
  }
  if (!solved.value) {
    if (!limit) require(solved.failure == descent.failure, "solve() fails unlike the descent");
    return;
  }
  require(
      is_permutation_of_locations(solved.value->best_solution.route,
                                  std::get<IntegerRows>(fuzz_case.input.distance_matrix).size()),
      "solve() returned no permutation");
  if (!limit) {
    require(descent.value && same_result(*solved.value, *descent.value),
            "solve() without limit differs from one descent");
  }
}

void check_case(const FuzzCase& fuzz_case) {
  const SolveInput& input = fuzz_case.input;
  Outcome<std::optional<TimeScheduler>> scheduler = attempt([&] {
    return TimeScheduler::from_arguments(input.duration_matrix, input.job_durations,
                                         input.time_windows, input.operation_times);
  });
  require(
      !scheduler.value || scheduler.value->has_value() ==
                              (input.duration_matrix && input.job_durations && input.time_windows),
      "time data used although incomplete, or dropped although complete");
  Outcome<SolveOutput> descent;
  if (scheduler.value) {
    const Penalizer penalizer{input.distance_matrix, *scheduler.value};
    const std::optional<Solution> evaluated = check_penalize(penalizer, fuzz_case.route);
    Route reversed(fuzz_case.route.rbegin(), fuzz_case.route.rend());
    const std::optional<Solution> other = check_penalize(penalizer, reversed);
    if (evaluated && other) {
      require(!(penalizer.is_better(*evaluated, *other) && penalizer.is_better(*other, *evaluated)),
              "the order is not asymmetric");
    }
    descent = check_descent(penalizer);
  }
  check_pipeline(fuzz_case, scheduler.failure, descent);
}

}  // namespace

std::optional<std::string> check_core_properties(std::span<const std::uint8_t> bytes) {
  try {
    check_case(decode_case(bytes));
  } catch (const Violation& violation) {
    return violation.what;
  } catch (const std::exception& unexpected) {
    return std::string("unexpected exception: ") + unexpected.what();
  }
  return std::nullopt;
}

}  // namespace tourwright::fuzzing
