#include "engine/random_draws.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct scripted_engine {
  std::vector<uint32_t> outputs;
  size_t next = 0;
  uint32_t operator()() { return outputs.at(next++); }
};

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
