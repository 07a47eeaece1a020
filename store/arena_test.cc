#include "store/arena.h"

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace vexlar {

// A request that fits continues the block being filled; one that does not
// starts a new block, giving up the rest of the old one, unless it is over
// a quarter of a block: then it gets a block of its own and the block being
// filled stays. Every piece keeps its bytes.
TEST(Arena, SmallRequestsShareBlocksLargeOnesGetTheirOwn) {
  enum Where { kFollows, kNewBlock, kOwnBlock };
  struct Step {
    std::size_t bytes;
    Where where;
    std::size_t remaining;  // afterwards
  };
  const Step steps[] = {
      {10, kNewBlock, 90}, {80, kFollows, 10},    {26, kOwnBlock, 10},
      {25, kNewBlock, 75}, {1000, kOwnBlock, 75}, {75, kFollows, 0},
      {0, kFollows, 0},    {1, kNewBlock, 99},    {24, kFollows, 75},
  };
  Arena arena(100);
  std::vector<std::pair<char*, std::size_t>> pieces;
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    const Step& step = steps[i];
    const char* next = arena.Next();
    char* piece = arena.Allocate(step.bytes);
    ASSERT_NE(nullptr, piece) << i;
    EXPECT_EQ(step.where == kFollows, piece == next) << i;
    // The block being filled goes on after the last piece taken from it.
    EXPECT_EQ(step.where == kOwnBlock ? next : piece + step.bytes, arena.Next()) << i;
    EXPECT_EQ(step.remaining, arena.Remaining()) << i;
    std::memset(piece, static_cast<int>('a' + i), step.bytes);
    pieces.emplace_back(piece, step.bytes);
  }
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    const auto [piece, bytes] = pieces[i];
    EXPECT_EQ(std::string(bytes, static_cast<char>('a' + i)), std::string(piece, bytes)) << i;
  }
}

}  // namespace vexlar
