#pragma once

// The schedule simulation of the literal evaluation: action_report places one
// action in time, route_schedule a whole closed tour, with their time accounts.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

#include "penalties/time/operation_times.hpp"
#include "penalties/time/schedule_shortcuts.hpp"
#include "penalties/time/time_input.hpp"
#include "penalties/time/time_windows.hpp"
#include "time/date_time.hpp"
#include "time/duration.hpp"

namespace tourwright {

// One schedule entry. `location` is meaningful for work only. Schedules can
// hold tens of millions of entries, so the location takes 32 bits (a route
// of 2^32 locations could not be held anyway): 40 bytes an entry.
struct Event {
  enum class Kind : std::uint8_t { Work, Travel, Wait };

  Kind kind;
  std::uint32_t location;
  TimeWindow window;

  friend bool operator==(const Event&, const Event&) = default;
};

// A schedule's events. Long jobs under short hours make tens of millions of
// them: a deque grows by blocks, never copying what it holds, so the peak
// stays near the events' own size. The deque is made with the first event,
// since even an empty one allocates, and the search's many evaluations
// record none.
class EventList {
 public:
  using value_type = Event;
  using const_iterator = std::deque<Event>::const_iterator;
  using iterator = const_iterator;

  EventList() = default;
  EventList(std::initializer_list<Event> events) {
    for (const Event& event : events) push_back(event);
  }
  EventList(const EventList& other)
      : events_(other.events_ ? std::make_unique<std::deque<Event>>(*other.events_) : nullptr) {}
  EventList& operator=(const EventList& other) {
    if (this != &other) *this = EventList(other);
    return *this;
  }
  EventList(EventList&&) noexcept = default;
  EventList& operator=(EventList&&) noexcept = default;
  ~EventList() = default;

  void push_back(const Event& event) {
    if (!events_) events_ = std::make_unique<std::deque<Event>>();
    events_->push_back(event);
  }
  // Moves `other`'s events, in order, to the end of this list.
  void append(EventList&& other);
  void clear() { events_.reset(); }

  std::size_t size() const { return events_ ? events_->size() : 0; }
  bool empty() const { return size() == 0; }
  const Event& operator[](std::size_t k) const { return (*events_)[k]; }
  const Event& back() const { return events_->back(); }
  const_iterator begin() const { return events_ ? events_->cbegin() : none().cbegin(); }
  const_iterator end() const { return events_ ? events_->cend() : none().cend(); }

  friend bool operator==(const EventList& a, const EventList& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
  }

 private:
  static const std::deque<Event>& none() {
    static const std::deque<Event> empty;
    return empty;
  }

  std::unique_ptr<std::deque<Event>> events_;
};

// The time account of one action or of a whole route, without its events.
// Invariant: duration == working_time + waiting_time + traveling_time.
struct TimeTotals {
  Duration duration;
  Duration lateness;
  Duration working_time;
  Duration waiting_time;
  Duration traveling_time;
  DateTime start_time;
  DateTime end_time;

  // Appends `other`, which must start where this account ends.
  void extend(const TimeTotals& other);
};

// The time account with its events.
struct TimeReport : TimeTotals {
  EventList events;  // empty unless events were recorded

  using TimeTotals::extend;
  // Appends `other` and its events.
  void extend(TimeReport&& other);
};

// Places one piece of work or travel in time: waits for the location's window
// (pushing the job back when it would not end inside the window it starts in),
// splits it at closing time with the overnight wait in between, and measures
// lateness against the location's last window. Travel passes no windows.
// With `record_events` false nothing is allocated. `shortcuts` change no
// result.
TimeReport action_report(Duration action_duration, const TimeWindows* location_windows,
                         const OperationTimes* operation_times, DateTime start, bool is_travel,
                         std::optional<std::size_t> location, bool record_events,
                         const ActionShortcuts& shortcuts = {});

// The schedule of a closed tour: work at each location in route order, then
// travel to the next, ending with the leg back to the first location. It begins
// at the start of the first window listed for the route's first location.
// `shortcuts` (a fast search's) change no result.
TimeReport route_schedule(const TimeScheduler& scheduler, const std::vector<std::size_t>& route,
                          bool record_events, const ScheduleShortcuts* shortcuts = nullptr);

}  // namespace tourwright
