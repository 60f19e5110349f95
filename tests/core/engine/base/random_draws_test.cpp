#include "engine/base/random_draws.h"
#include "engine/base/twister_block.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct scripted_engine {
  std::vector<uint32_t> outputs;
  size_t next = 0;
  uint32_t operator()() { return outputs.at(next++); }
};

// A block at a time, across many blocks, the library's generator's outputs in turn;
// 4123659995 is the library's promised 10000th output for the default seed 5489.
TEST(TwisterBlock, GivesTheLibrarysOutputsInTurn) {
  for (uint32_t seed : {5489u, 1701u, 0u, 4294967295u}) {
    twister_block blocks(seed);
    std::mt19937 library(seed);
    uint32_t block[twister_block::size];
    for (int b = 0; b < 40; ++b) {
      blocks.Next(block);
      for (int i = 0; i < twister_block::size; ++i) {
        ASSERT_EQ(block[i], library()) << seed << " " << b << " " << i;
        if (seed == 5489u && b * twister_block::size + i == 9999) {
          EXPECT_EQ(block[i], 4123659995u);
        }
      }
    }
  }
}

TEST(RandomDraws, FixedSeedsGiveTheProgramsSequenceAndTopOutputsAreRedrawn) {
  random_draws x(2537, 0, 2047);
  for (int v : {733, 502, 1551, 1730, 1974}) EXPECT_EQ(x.Next(), v);
  for (auto [low, high] : {std::pair{0, 1535}, std::pair{0, 255}, std::pair{-3, 1000000}}) {
    random_draws fast(1701, low, high);
    std::mt19937 engine(1701);
    for (int i = 0; i < 20000; ++i) ASSERT_EQ(fast.Next(), DrawInt(engine, low, high)) << high << " " << i;
  }

  // 4294967295 / 1536 = 2796202 is not below 4294967295 / 1536 and 4294967295 % 1536
  // = 1023 is not 1535: that output is passed over.
  scripted_engine stub{{4294967295u, 5u}};
  EXPECT_EQ(DrawInt(stub, 0, 1535), 5);
  EXPECT_EQ(stub.next, 2u);
  // When 2^32 - 1 leaves remainder n - 1 every output counts, the top one too.
  scripted_engine every{{4294967295u}};
  EXPECT_EQ(DrawInt(every, 10, 265), 10 + 255);
}

}  // namespace
