#pragma once

#include <array>
#include <cstdint>

#include "local_moves.hpp"

namespace tourwright {

// What the fast scan did with the candidates of one kind of move: where the
// time goes, and how much each shortcut saves.
struct MoveCounters {
  std::uint64_t candidates = 0;
  // Rejected by the keys or bounds known before any location is simulated.
  std::uint64_t rejected_unsimulated = 0;
  // Candidates that simulated at least one location, and how many in all.
  std::uint64_t simulated = 0;
  std::uint64_t positions = 0;
  // Candidates accepted, each rebuilding what the scan keeps of the route.
  std::uint64_t accepted = 0;

  MoveCounters& operator+=(const MoveCounters& other) {
    candidates += other.candidates;
    rejected_unsimulated += other.rejected_unsimulated;
    simulated += other.simulated;
    positions += other.positions;
    accepted += other.accepted;
    return *this;
  }
};

// By MoveKind.
using ScanCounters = std::array<MoveCounters, kMoveKinds>;

inline MoveCounters& counters_of(ScanCounters& counters, MoveKind kind) {
  return counters[static_cast<std::size_t>(kind)];
}

}  // namespace tourwright
