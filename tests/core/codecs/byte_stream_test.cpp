#include <gtest/gtest.h>

#include <cstring>
#include <numeric>
#include <vector>

#include "codecs/mem_stream.h"

namespace {

TEST(MemStream, GrowsIn64KiBSteps) {
  CMemStream stream;
  EXPECT_EQ(stream.Write("x", 1, 1), 0u);  // not opened yet
  ASSERT_TRUE(stream.Open());
  std::vector<uint8_t> data(70000);
  std::iota(data.begin(), data.end(), 0);
  EXPECT_EQ(stream.Write(data.data(), 7, 10000), 10000u);
  EXPECT_EQ(stream.Capacity(), 131072);
  EXPECT_EQ(0, std::memcmp(stream.GetBuffer(false), data.data(), data.size()));
  for (int i = 0; i < 61072; ++i) ASSERT_TRUE(stream.PutC(uint8_t(i)));
  EXPECT_EQ(stream.Capacity(), 131072);
  EXPECT_TRUE(stream.PutC(1));
  EXPECT_EQ(stream.Capacity(), 196608);
}

TEST(MemStream, ReadsCountWholeElementsAndSeeksClamp) {
  uint8_t bytes[30];
  std::iota(bytes, bytes + 30, 0);
  CMemStream stream(bytes, 30);
  uint8_t out[30] = {};  // room for all the stream holds
  ASSERT_TRUE(stream.Seek(20, 0));
  EXPECT_EQ(stream.Read(out, 18, 1), 0u);  // 10 bytes copied, no whole element
  EXPECT_EQ(out[9], 29);
  ASSERT_TRUE(stream.Seek(0, 0));
  EXPECT_EQ(stream.Read(out, SIZE_MAX, SIZE_MAX), 0u);  // the product wraps
  for (auto [offset, origin] : {std::pair<int64_t, int>{-5, 0}, {-40, 2}}) {
    EXPECT_TRUE(stream.Seek(offset, origin));
    EXPECT_EQ(stream.Tell(), 0);
  }
  EXPECT_FALSE(stream.Seek(0, 3));
  EXPECT_TRUE(stream.Seek(INT64_MAX, 1) && stream.Seek(INT64_MAX, 1));
  EXPECT_EQ(stream.Tell(), INT64_MAX);
  EXPECT_EQ(stream.Write("a", 1, 1), 0u);  // no room that far out
}

TEST(MemStream, WritesPastTheEndLeaveZeroesAndNeverFreeTheCallersBuffer) {
  uint8_t caller[4] = {1, 2, 3, 4};
  {
    CMemStream stream(caller, 4);
    ASSERT_TRUE(stream.Seek(8, 0));
    EXPECT_EQ(stream.Write("xy", 2, 1), 1u);  // moves the data to a buffer of its own
    const uint8_t* grown = stream.GetBuffer(false);
    EXPECT_EQ(std::vector<uint8_t>(grown, grown + 10), (std::vector<uint8_t>{1, 2, 3, 4, 0, 0, 0, 0, 'x', 'y'}));
  }
  EXPECT_EQ(caller[0], 1);
}

}  // namespace
