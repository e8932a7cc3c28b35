#pragma once

// Every message text the core fails with, as the caller of `solve` sees it.
// Code and tests use these names, so a text changes in one place only.

namespace tourwright::messages {

inline constexpr const char* kUnwrapNone = "called `Option::unwrap()` on a `None` value";
inline constexpr const char* kSecondsOutOfBounds = "TimeDelta::seconds out of bounds";
inline constexpr const char* kDurationSumOverflow = "`TimeDelta + TimeDelta` overflowed";
inline constexpr const char* kDurationDifferenceOverflow = "`TimeDelta - TimeDelta` overflowed";
inline constexpr const char* kDateTimeSumOverflow = "`DateTime + TimeDelta` overflowed";
inline constexpr const char* kDateTimeDifferenceOverflow = "`DateTime - TimeDelta` overflowed";
inline constexpr const char* kWindowStartAfterEnd = "assertion failed: start <= end";
inline constexpr const char* kHoursStartNotBeforeEnd = "assertion failed: daily_start < daily_end";
inline constexpr const char* kRotateLeftTooFar = "assertion failed: mid <= self.len()";
inline constexpr const char* kRotateRightTooFar = "assertion failed: k <= self.len()";
// Followed by the length, kIndexMiddle and the index.
inline constexpr const char* kIndexPrefix = "index out of bounds: the len is ";
inline constexpr const char* kIndexMiddle = " but the index is ";

}  // namespace tourwright::messages
