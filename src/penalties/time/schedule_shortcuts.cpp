#include "penalties/time/schedule_shortcuts.hpp"

#include <algorithm>
#include <cstdint>

#include "failure.hpp"
#include "interrupt.hpp"
#include "penalties/time/literal_clock.hpp"

namespace tourwright {

namespace {

// Where `job` settles from the start of each window of `windows`, filled by
// the rules' own settle_in_windows through a clock that reads the table
// while it fills. A walk that fails is left to fail where an evaluation
// takes it; one that succeeds leaves only the sum of waits to check there.
void fill(const TimeWindows& windows, Duration job, SettlingTable& table) {
  table.job = job;
  assign_polled(table.settled, windows.windows.size(), std::nullopt);
  const ActionShortcuts reading{&table, false, false};
  const LiteralClock clock(&windows, nullptr, reading);
  fill_settling_table(
      clock, [&](std::size_t k) { return windows.windows[k].start; },
      [&](DateTime start) -> std::optional<Settled<DateTime, Duration>> {
        try {
          Duration wait;
          std::uint32_t steps = 0;
          const DateTime t = settle_in_windows(clock, job, start, wait, steps);
          return Settled<DateTime, Duration>{t, wait};
        } catch (const Failure&) {
          return std::nullopt;
        }
      },
      table.settled);
}

}  // namespace

ScheduleShortcuts::ScheduleShortcuts(const TimeScheduler& scheduler) {
  const std::size_t windowed = scheduler.time_windows.size();
  settling_.resize(windowed);
  in_order_.resize(windowed);
  for (std::size_t location = 0; location < windowed; ++location) {
    const TimeWindows& windows = scheduler.time_windows[location];
    in_order_[location] = listed_in_order(windows.windows);
    if (location >= scheduler.job_durations.size()) continue;
    const Duration job = scheduler.job_durations[location];
    if (windows.windows.size() > kWalkedWindows && job > Duration::zero())
      fill(windows, job, settling_[location]);
  }
}

ActionShortcuts ScheduleShortcuts::for_work(std::size_t location) const {
  if (location >= settling_.size()) return {nullptr, false, whole_days_};
  const SettlingTable& table = settling_[location];
  return {table.settled.empty() ? nullptr : &table, in_order_[location], whole_days_};
}

}  // namespace tourwright
