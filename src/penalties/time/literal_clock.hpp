#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "penalties/time/operation_times.hpp"
#include "penalties/time/schedule_rules.hpp"
#include "penalties/time/schedule_shortcuts.hpp"
#include "penalties/time/time_windows.hpp"
#include "time/date_time.hpp"
#include "time/duration.hpp"

namespace tourwright {

// The rules' questions answered on checked date-times and durations, for one
// action: work at a location with `windows`, or travel (no windows).
class LiteralClock {
 public:
  using Time = DateTime;
  using Span = Duration;
  using Found = WindowLookup;

  LiteralClock(const TimeWindows* windows, const OperationTimes* hours,
               const ActionShortcuts& shortcuts)
      : windows_(windows), hours_(hours), shortcuts_(shortcuts) {}

  std::optional<WindowLookup> next_window(DateTime t) const {
    if (windows_ == nullptr) return std::nullopt;
    return windows_->next_window(t);
  }
  bool same_window(const WindowLookup& a, const WindowLookup& b) const {
    return *a.window == *b.window;
  }
  std::size_t index_of(const WindowLookup& found) const {
    return static_cast<std::size_t>(found.window - windows_->windows.data());
  }
  // Known for the whole job from the start of a window whose start finds it.
  std::optional<Settled<DateTime, Duration>> settled_from(const WindowLookup& found, DateTime t,
                                                          Duration remaining) const {
    const SettlingTable* table = shortcuts_.settling;
    if (windows_ == nullptr || table == nullptr || remaining != table->job ||
        t != found.window->start)
      return std::nullopt;
    return table->settled[index_of(found)];
  }
  Duration until_open(DateTime t) const {
    return hours_ != nullptr ? hours_->waiting_time(t.time_of_day()) : Duration::zero();
  }
  std::optional<Duration> until_closing(DateTime t) const {
    if (hours_ == nullptr) return std::nullopt;
    return hours_->daily_end - t.time_of_day();
  }
  std::optional<DateTime> last_window_end() const {
    if (windows_ == nullptr || windows_->windows.empty()) return std::nullopt;
    return windows_->windows.back().end;
  }
  // Runs of whole days are allowed only where no schedule can overflow, so
  // the spans of a run fit 64-bit nanosecond counts.
  std::optional<Duration> whole_day_opening() const {
    if (hours_ == nullptr || !shortcuts_.whole_days) return std::nullopt;
    return hours_->daily_end - hours_->daily_start;
  }
  bool in_order() const { return windows_ != nullptr && shortcuts_.windows_in_order; }
  bool last_listed(const WindowLookup& found) const {
    return found.window == &windows_->windows.back();
  }
  static std::int64_t count_of(Duration d) {
    return d.seconds() * Duration::kNanosPerSecond + d.subsec_nanos();
  }
  static Duration span_of(std::int64_t nanoseconds) {
    return Duration::from_nanoseconds(nanoseconds);
  }

 private:
  const TimeWindows* windows_;
  const OperationTimes* hours_;
  ActionShortcuts shortcuts_;
};

static_assert(SettlingTableClock<LiteralClock>);

}  // namespace tourwright
