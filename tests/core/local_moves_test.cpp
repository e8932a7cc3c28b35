#include "local_moves.hpp"

#include <numeric>
#include <string>

#include "messages.hpp"
#include "test_support.hpp"

namespace tourwright {
namespace {

using testing::index_message;

Route nine() {
  Route route(9);
  std::iota(route.begin(), route.end(), std::size_t{0});
  return route;
}

struct MoveCase {
  std::string name;
  LocalMove move;
  Route expected;
};

class LocalMoveTest : public ::testing::TestWithParam<MoveCase> {};

TEST_P(LocalMoveTest, RearrangesPositionsOneToSeven) {
  Route route = nine();
  GetParam().move(route, 1, 7);
  EXPECT_EQ(route, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LocalMoveTest,
    ::testing::Values(MoveCase{"ReverseSegment", reverse_segment, {0, 7, 6, 5, 4, 3, 2, 1, 8}},
                      MoveCase{"SwapPair", swap_pair, {0, 7, 2, 3, 4, 5, 6, 1, 8}},
                      MoveCase{"RotateLeft1", rotate_left_1, {0, 2, 3, 4, 5, 6, 7, 1, 8}},
                      MoveCase{"RotateLeft2", rotate_left_2, {0, 3, 4, 5, 6, 7, 1, 2, 8}},
                      MoveCase{"RotateLeft3", rotate_left_3, {0, 4, 5, 6, 7, 1, 2, 3, 8}},
                      MoveCase{"RotateRight1", rotate_right_1, {0, 7, 1, 2, 3, 4, 5, 6, 8}},
                      MoveCase{"RotateRight2", rotate_right_2, {0, 6, 7, 1, 2, 3, 4, 5, 8}},
                      MoveCase{"RotateRight3", rotate_right_3, {0, 5, 6, 7, 1, 2, 3, 4, 8}}),
    [](const ::testing::TestParamInfo<MoveCase>& info) { return info.param.name; });

TEST(LocalMoveTest, ReversingTwoNeighboursExchangesThem) {
  Route route = nine();
  reverse_segment(route, 3, 4);
  EXPECT_EQ(route, (Route{0, 1, 2, 4, 3, 5, 6, 7, 8}));
}

TEST(LocalMoveTest, MisuseFailsInsteadOfCorruptingTheRoute) {
  Route route = nine();
  EXPECT_FAILURE(rotate_left_3(route, 2, 3), messages::kRotateLeftTooFar);
  EXPECT_FAILURE(rotate_right_2(route, 4, 4), messages::kRotateRightTooFar);
  EXPECT_FAILURE(reverse_segment(route, 5, 9), index_message(9, 9));
  EXPECT_FAILURE(swap_pair(route, 1, 12), index_message(9, 12));
  EXPECT_EQ(route, nine());
}

}  // namespace
}  // namespace tourwright
