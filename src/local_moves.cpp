#include "local_moves.hpp"

#include <algorithm>
#include <span>
#include <utility>

#include "failure.hpp"
#include "messages.hpp"

namespace tourwright {

namespace {

// Positions i..j; an empty segment when i == j + 1.
std::span<std::size_t> segment(Route& route, std::size_t i, std::size_t j) {
  const std::size_t end = j + 1;
  if (end > route.size()) fail_index(route.size(), j);
  if (i > end) fail_index(end, i);
  return std::span<std::size_t>(route).subspan(i, end - i);
}

void rotate_left(Route& route, std::size_t i, std::size_t j, std::size_t count) {
  const auto part = segment(route, i, j);
  if (count > part.size()) fail(messages::kRotateLeftTooFar);
  std::rotate(part.begin(), part.begin() + static_cast<std::ptrdiff_t>(count), part.end());
}

void rotate_right(Route& route, std::size_t i, std::size_t j, std::size_t count) {
  const auto part = segment(route, i, j);
  if (count > part.size()) fail(messages::kRotateRightTooFar);
  std::rotate(part.begin(), part.end() - static_cast<std::ptrdiff_t>(count), part.end());
}

}  // namespace

void reverse_segment(Route& route, std::size_t i, std::size_t j) {
  const auto part = segment(route, i, j);
  std::reverse(part.begin(), part.end());
}

void swap_pair(Route& route, std::size_t i, std::size_t j) {
  std::swap(element_at(route, i), element_at(route, j));
}

void rotate_left_1(Route& route, std::size_t i, std::size_t j) { rotate_left(route, i, j, 1); }
void rotate_left_2(Route& route, std::size_t i, std::size_t j) { rotate_left(route, i, j, 2); }
void rotate_left_3(Route& route, std::size_t i, std::size_t j) { rotate_left(route, i, j, 3); }
void rotate_right_1(Route& route, std::size_t i, std::size_t j) { rotate_right(route, i, j, 1); }
void rotate_right_2(Route& route, std::size_t i, std::size_t j) { rotate_right(route, i, j, 2); }
void rotate_right_3(Route& route, std::size_t i, std::size_t j) { rotate_right(route, i, j, 3); }

}  // namespace tourwright
