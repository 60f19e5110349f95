#include "engine/base/crt_rand.h"

#include <gtest/gtest.h>

namespace {

TEST(CrtRand, StartsFromStateOneAndSkippingEqualsDrawing) {
  crt_rand fresh;
  for (int v : {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464}) EXPECT_EQ(fresh.Next(), v);
  for (uint32_t start : {1u, 0u, 0xFFFFFFFFu, 123456789u}) {
    crt_rand drawn{start};
    for (uint64_t n = 0; n < 300; ++n, drawn.Next())
      ASSERT_EQ(crt_rand::Skip(start, n), drawn.state) << start << " " << n;
  }
  EXPECT_EQ(crt_rand::Skip(77, uint64_t(1) << 32), 77u);  // the period is 2^32
}

}  // namespace
