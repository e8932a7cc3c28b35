#include "fast/move_shape.hpp"

#include <array>
#include <utility>

namespace tourwright {

std::optional<MoveShape> shape_of(LocalMove move) {
  static constexpr std::array<std::pair<LocalMove, MoveShape>, 8> kShapes{{
      {reverse_segment, {MoveKind::reverse, 0}},
      {swap_pair, {MoveKind::swap, 0}},
      {rotate_left_1, {MoveKind::rotate_left, 1}},
      {rotate_left_2, {MoveKind::rotate_left, 2}},
      {rotate_left_3, {MoveKind::rotate_left, 3}},
      {rotate_right_1, {MoveKind::rotate_right, 1}},
      {rotate_right_2, {MoveKind::rotate_right, 2}},
      {rotate_right_3, {MoveKind::rotate_right, 3}},
  }};
  for (const auto& [known, shape] : kShapes) {
    if (known == move) return shape;
  }
  return std::nullopt;
}

}  // namespace tourwright
