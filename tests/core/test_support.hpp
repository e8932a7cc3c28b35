#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "failure.hpp"
#include "messages.hpp"
#include "time/date_time.hpp"
#include "time/duration.hpp"

// Checks that `statement` throws the core's Failure with exactly `message`.
#define EXPECT_FAILURE(statement, message)                          \
  do {                                                              \
    try {                                                           \
      statement;                                                    \
      ADD_FAILURE() << "expected a failure: " << (message);         \
    } catch (const ::tourwright::Failure& failure) {                \
      EXPECT_EQ(std::string(failure.what()), std::string(message)); \
    }                                                               \
  } while (false)

namespace tourwright::testing {

inline Duration seconds(std::int64_t count) { return Duration::from_seconds(count); }
inline Duration minutes(std::int64_t count) { return seconds(60 * count); }
inline Duration hours(std::int64_t count) { return seconds(3600 * count); }

// An instant on a given day after 2024-01-01 (day 0), at h:m:s UTC.
inline DateTime at(int day, int hour, int minute = 0, int second = 0) {
  constexpr std::int64_t kDay0 = 19'723LL * 86'400;  // 2024-01-01T00:00:00Z
  const std::int64_t unix = kDay0 + day * 86'400LL + hour * 3'600LL + minute * 60LL + second;
  return DateTime::from_unix_seconds(static_cast<std::uint64_t>(unix));
}

inline std::string index_message(std::size_t len, std::size_t index) {
  return messages::kIndexPrefix + std::to_string(len) + messages::kIndexMiddle +
         std::to_string(index);
}

}  // namespace tourwright::testing
