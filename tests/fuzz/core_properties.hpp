#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace tourwright::fuzzing {

// Decodes one fuzz input and runs it through the core: the time-data
// conversion, `penalize` with and without events, the time-data order, one
// descent with each evaluation mode and the whole solve pipeline. Returns a
// description of the first broken invariant, or nothing when all hold:
// - every failure is a tourwright::Failure with one of the known messages;
// - duration = working + waiting + traveling, and no total is negative;
// - recording events changes no total, start or end;
// - event windows have start < end and tile start_time .. end_time;
// - the order is strict (irreflexive and asymmetric);
// - the literal and the fast evaluation give the same search result;
// - solve() agrees with the descent and lets the interrupt check's own
//   exception through.
std::optional<std::string> check_core_properties(std::span<const std::uint8_t> bytes);

}  // namespace tourwright::fuzzing
