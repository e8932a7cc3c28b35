#pragma once

#include <array>
#include <cstddef>

#include "output.hpp"

namespace tourwright {

// A local move rearranges the segment of positions i..j (inclusive) in place.
// Example, route [0 1 2 3 4 5 6 7 8] with i = 1, j = 7:
//
//   reverse_segment  [0 7 6 5 4 3 2 1 8]   the segment read backwards
//   swap_pair        [0 7 2 3 4 5 6 1 8]   the ends exchanged
//   rotate_left_1    [0 2 3 4 5 6 7 1 8]   block 1     moves behind 7
//   rotate_left_2    [0 3 4 5 6 7 1 2 8]   block 1 2   moves behind 7
//   rotate_left_3    [0 4 5 6 7 1 2 3 8]   block 1 2 3 moves behind 7
//   rotate_right_1   [0 7 1 2 3 4 5 6 8]   block 7     moves before 1
//   rotate_right_2   [0 6 7 1 2 3 4 5 8]   block 6 7   moves before 1
//   rotate_right_3   [0 5 6 7 1 2 3 4 8]   block 5 6 7 moves before 1
using LocalMove = void (*)(Route& route, std::size_t i, std::size_t j);

void reverse_segment(Route& route, std::size_t i, std::size_t j);
void swap_pair(Route& route, std::size_t i, std::size_t j);
void rotate_left_1(Route& route, std::size_t i, std::size_t j);
void rotate_left_2(Route& route, std::size_t i, std::size_t j);
void rotate_left_3(Route& route, std::size_t i, std::size_t j);
void rotate_right_1(Route& route, std::size_t i, std::size_t j);
void rotate_right_2(Route& route, std::size_t i, std::size_t j);
void rotate_right_3(Route& route, std::size_t i, std::size_t j);

// The eight moves as four kinds; rotations carry the size of the block they
// move. Knowing the shape lets the fast scan read a candidate off the
// current route without building it (fast/move_shapes.hpp). `count` is not
// a kind: it counts them.
enum class MoveKind { reverse, swap, rotate_left, rotate_right, count };
inline constexpr std::size_t kMoveKinds = static_cast<std::size_t>(MoveKind::count);

struct MoveShape {
  MoveKind kind;
  std::size_t block;  // 1..3 for rotations, 0 otherwise

  friend constexpr bool operator==(const MoveShape&, const MoveShape&) = default;
};

// One row of a pass: the move, the least number of positions strictly
// between i and j, so that every segment tried is long enough for its move,
// and the move's shape. The one table of moves: the literal scan applies
// `move`, the fast scan reads candidates by `shape`, and a test checks that
// the two agree for every entry.
struct PassEntry {
  LocalMove move;
  std::size_t min_gap;
  MoveShape shape;
  const char* name;  // the move's function name, for reports
};

inline constexpr std::array<PassEntry, 8> kPassTable{{
    {reverse_segment, 0, {MoveKind::reverse, 0}, "reverse_segment"},
    {swap_pair, 2, {MoveKind::swap, 0}, "swap_pair"},
    {rotate_left_1, 1, {MoveKind::rotate_left, 1}, "rotate_left_1"},
    {rotate_right_1, 1, {MoveKind::rotate_right, 1}, "rotate_right_1"},
    {rotate_left_2, 2, {MoveKind::rotate_left, 2}, "rotate_left_2"},
    {rotate_right_2, 3, {MoveKind::rotate_right, 2}, "rotate_right_2"},
    {rotate_left_3, 4, {MoveKind::rotate_left, 3}, "rotate_left_3"},
    {rotate_right_3, 5, {MoveKind::rotate_right, 3}, "rotate_right_3"},
}};

}  // namespace tourwright
