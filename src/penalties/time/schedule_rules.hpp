#pragma once

// The schedule rules, written once over the number type. Two evaluations
// instantiate them: the literal one (DateTime and Duration, every sum
// checked, events recorded; time_output.cpp) and the fast one (plain
// nanosecond counts, no events; fast/schedule/schedule_clock.cpp). Both
// perform the same operations in the same order, so where a checked sum
// fails the literal evaluation, the fast path is never used (see
// fast_eligibility).

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "interrupt.hpp"

namespace tourwright {

// Where work can be placed at a given instant: in window `index` of the
// location's list, after `wait`.
template <class Span>
struct WindowFound {
  std::size_t index;
  Span wait;
};

// The window containing t (zero wait), else the next one to open (with the
// wait until it opens), else nothing once the last listed window has ended.
// `start(k)` and `end(k)` are the bounds of window k of `count`. Callers are
// expected to list windows sorted by start and without overlap; the lookup is
// still fully defined for any order.
template <class Time, class Start, class End>
auto find_window(std::size_t count, const Start& start, const End& end, Time t)
    -> std::optional<WindowFound<decltype(t - t)>> {
  using Found = WindowFound<decltype(t - t)>;
  if (count == 0) return std::nullopt;
  // Only the window listed last decides whether anything is left.
  if (t > end(count - 1)) return std::nullopt;

  // Binary search for the last start not after t (for a sorted list).
  std::size_t base = 0;
  for (std::size_t size = count; size > 1;) {
    const std::size_t half = size / 2;
    if (start(base + half) <= t) base += half;
    size -= half;
  }
  if (start(base) == t) return Found{base, {}};
  const std::size_t i = start(base) < t ? base + 1 : 0;
  if (i == 0) return Found{0, start(0) - t};
  if (start(i - 1) <= t && t <= end(i - 1)) return Found{i - 1, {}};
  // i < count here: t is not after the end of the last window.
  return Found{i, t < start(i) ? start(i) - t : decltype(t - t){}};
}

// How long to wait from time of day h until daily operation resumes: zero
// while open (open included, close excluded), else until today's or
// tomorrow's opening.
template <class Hour, class Span>
Span wait_for_opening(Hour h, Hour open, Hour close, Span one_day) {
  if (h < open) return open - h;
  if (h < close) return Span{};
  return (open - h) + one_day;
}

// Where a job settles in the windows, and what it waited to get there.
template <class Time, class Span>
struct Settled {
  Time t;
  Span wait;
};

// What the rules below ask of a clock, at an instant t of one action:
// next_window(t) (a Found, or nothing for travel and once the windows are
// over), same_window(a, b) (windows are the same when their bounds are),
// settled_from(found, t, remaining) (where settle_in_windows ends from t in
// `found`, when known), until_open(t) (zero while open or without hours),
// until_closing(t) (nothing without hours), last_window_end() (nothing for
// travel); for runs of whole days, whole_day_opening() (how long the hours
// are open each day, when runs may be taken at once), in_order() (the list
// is), last_listed(found), and count_of / span_of between spans and
// nanosecond counts.
template <class Clock>
concept ScheduleRulesClock =
    requires(const Clock& clock, typename Clock::Time t, typename Clock::Span span,
             const typename Clock::Found& found, std::int64_t count) {
      { clock.next_window(t) } -> std::same_as<std::optional<typename Clock::Found>>;
      { clock.same_window(found, found) } -> std::same_as<bool>;
      {
        clock.settled_from(found, t, span)
      } -> std::same_as<std::optional<Settled<typename Clock::Time, typename Clock::Span>>>;
      { clock.until_open(t) } -> std::same_as<typename Clock::Span>;
      { clock.until_closing(t) } -> std::same_as<std::optional<typename Clock::Span>>;
      { clock.last_window_end() } -> std::same_as<std::optional<typename Clock::Time>>;
      { clock.whole_day_opening() } -> std::same_as<std::optional<typename Clock::Span>>;
      { clock.in_order() } -> std::same_as<bool>;
      { clock.last_listed(found) } -> std::same_as<bool>;
      { Clock::count_of(span) } -> std::same_as<std::int64_t>;
      { Clock::span_of(count) } -> std::same_as<typename Clock::Span>;
      { found.wait } -> std::convertible_to<typename Clock::Span>;
    };

// A clock whose settling tables are filled (fill_settling_table) also tells
// which window of its list a lookup found.
template <class Clock>
concept SettlingTableClock =
    ScheduleRulesClock<Clock> && requires(const Clock& clock, const typename Clock::Found& found) {
      { clock.index_of(found) } -> std::same_as<std::size_t>;
    };

// Loop steps of one action between two polls for interrupts: rare enough to
// cost nothing, frequent enough to answer Ctrl-C within milliseconds.
inline constexpr std::uint32_t kStepsBetweenPolls = 4096;

// Where work of length `remaining` can begin from t, as far as the windows
// go: waits for the window and pushes the job back while it would not end
// inside the window it starts in. Waits are added to `pending`. No window
// left at the end time means the job proceeds (late against the last
// window's end). A clock that knows where the push-backs from the start of a
// window end (settled_from) lets the walk stop there.
// Inlined: it runs once per action, inside the evaluations' hot loop.
template <ScheduleRulesClock Clock>
[[gnu::always_inline]] inline typename Clock::Time settle_in_windows(const Clock& clock,
                                                                     typename Clock::Span remaining,
                                                                     typename Clock::Time t,
                                                                     typename Clock::Span& pending,
                                                                     std::uint32_t& steps) {
  using Span = typename Clock::Span;
  for (;;) {
    if (++steps == kStepsBetweenPolls) {
      steps = 0;
      poll_interrupt();
    }
    const auto found = clock.next_window(t);
    if (!found) return t;
    if (found->wait > Span{}) {
      pending += found->wait;
      t += found->wait;
    }
    if (const auto settled = clock.settled_from(*found, t, remaining)) {
      pending += settled->wait;
      return settled->t;
    }
    const auto at_end = clock.next_window(t + remaining);
    if (!at_end || clock.same_window(*at_end, *found)) return t;
    // Push the job back to where it can begin in the window its end falls into.
    const Span skip = at_end->wait + remaining;
    pending += skip;
    t += skip;
  }
}

// Lists this short are cheaper to walk than to look up.
inline constexpr std::size_t kWalkedWindows = 16;

// Where a job settles (settle_in_windows, from no wait) from the start of
// each of `count` windows, as `settle(start)` gives it, for a clock whose
// settled_from reads `table` (and whose index_of(found) tells which window
// was found). Push-backs from a window start visit only later instants, so
// filling the table from the last window backwards lets each walk stop at
// the first window start it reaches: one step per window, once, instead of
// a walk over every later window per evaluation. A start shadowed by a later
// window with the same start is never found, so it stays unknown, as does a
// start past the end of the window listed last (found by nothing in a list
// out of order) and any entry `settle` gives nothing for. Each window's walk
// is a step or two, so the fill polls for interrupts every so many windows.
// `table` comes sized to the list, every entry unknown (assign_polled), so
// that `clock` can read it while it fills.
template <SettlingTableClock Clock, class Start, class Settle>
void fill_settling_table(
    const Clock& clock, const Start& start, const Settle& settle,
    std::vector<std::optional<Settled<typename Clock::Time, typename Clock::Span>>>& table) {
  for (std::size_t k = table.size(); k-- > 0;) {
    if (k % kStepsBetweenPolls == 0) poll_interrupt();
    const auto found = clock.next_window(start(k));
    if (found && clock.index_of(*found) == k) table[k] = settle(start(k));
  }
}

// Runs of whole days at once, for evaluations without events. From t, the
// closing instant of a day after which `remaining` is still to do, each day
// up to the one of the final piece waits overnight and then works the whole
// opening, as long as the windows neither make it wait nor push it back: every
// instant it looks up finds the window t is in, and every end it looks up
// finds that window too, or nothing. In a list in order the instants that find
// a window form one stretch, so the first and the last lookups of a run decide
// the whole run; the run's length is the longest that passes, found by halving.
// Halving is sound because passing is monotone in the number of days k: the
// last opening instant of day k and the end looked up from it (that instant
// plus what is left after k − 1 whole openings, i.e. t + overnight + the
// remaining length + (day − open)·(k − 1)) both grow with k and start no
// sooner than t, which lies in the window; so if both lie in the window's
// stretch for k days, they do for every fewer day. Whether the end lies past
// every window does not depend on k.
template <ScheduleRulesClock Clock, class Record>
void take_whole_days(const Clock& clock, typename Clock::Span& remaining, typename Clock::Time& t,
                     Record& record) {
  using Span = typename Clock::Span;
  const auto opening = clock.whole_day_opening();
  if (!opening) return;
  const std::int64_t open = clock.count_of(*opening);
  // Days before the one of the final piece, which is left to the loop.
  std::int64_t days = (clock.count_of(remaining) - 1) / open;
  if (days == 0) return;
  const Span overnight = clock.until_open(t);
  const std::int64_t day = clock.count_of(overnight) + open;

  if (const auto found = clock.next_window(t)) {
    if (found->wait > Span{} || !clock.in_order()) return;
    // In the last listed window every later instant finds it or nothing.
    if (!clock.last_listed(*found)) {
      const bool ends_past_windows = !clock.next_window(t + remaining);
      // The first `k` days look up nothing outside the window.
      auto steady = [&](std::int64_t k) {
        const auto last_open = t + clock.span_of(day * (k - 1)) + overnight;
        const auto at = clock.next_window(last_open);
        if (!at || at->wait > Span{} || !clock.same_window(*at, *found)) return false;
        if (ends_past_windows) return true;
        const auto at_end =
            clock.next_window(last_open + (remaining - clock.span_of(open * (k - 1))));
        return at_end && clock.same_window(*at_end, *found);
      };
      std::int64_t passes = 0;
      while (passes < days) {
        const std::int64_t k = passes + (days - passes + 1) / 2;
        if (steady(k))
          passes = k;
        else
          days = k - 1;
      }
      if (days == 0) return;
    }
  }
  const Span worked = clock.span_of(open * days);
  record.wait(t, clock.span_of(clock.count_of(overnight) * days));
  record.piece(t, worked);
  t += clock.span_of(day * days);
  remaining -= worked;
}

// Places one piece of work or travel in time: settles it in the location's
// windows (above), splits it at closing time with the overnight wait in
// between, and measures lateness against the location's last window. Travel
// passes no windows. Returns the clock when the action is done.
//
// `record` is told of each settled wait (wait(end, span)), each piece
// (piece(start, span)) and the lateness of the final piece (late(span)); one
// that only sums (counts_only()) may be told of runs of whole days at once.
template <ScheduleRulesClock Clock, class Record>
typename Clock::Time place_action(const Clock& clock, typename Clock::Span remaining,
                                  typename Clock::Time t, Record& record) {
  using Span = typename Clock::Span;
  // Waits are collected here and settled just before the next piece, so that
  // consecutive waits become one.
  Span pending{};
  std::uint32_t steps = 0;
  while (remaining > Span{}) {
    t = settle_in_windows(clock, remaining, t, pending, steps);

    const Span until_open = clock.until_open(t);
    if (until_open > Span{}) {
      pending += until_open;
      t += until_open;
      continue;  // the windows are looked up again at the new time
    }

    if (pending > Span{}) {
      record.wait(t, pending);
      pending = Span{};
    }

    Span step = remaining;
    // Positive: t has just been found inside the operating hours.
    if (const auto until_closing = clock.until_closing(t)) {
      if (remaining > *until_closing) step = *until_closing;
    }
    record.piece(t, step);
    // Lateness is measured once per job, at the end of its final piece, and
    // only against the window listed last.
    if (step == remaining) {
      if (const auto last_end = clock.last_window_end()) {
        const auto finish = t + step;
        if (finish > *last_end) record.late(finish - *last_end);
      }
    }
    t += step;
    remaining -= step;
    // Left over: the piece stopped at closing time.
    if (remaining > Span{} && record.counts_only()) take_whole_days(clock, remaining, t, record);
  }
  return t;
}

}  // namespace tourwright
