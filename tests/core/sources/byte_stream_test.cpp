#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <numeric>
#include <vector>

#include "sources/file_stream.h"
#include "sources/mem_stream.h"

namespace {

TEST(MemStream, GrowsInWholeSteps) {
  CMemStream stream;
  EXPECT_EQ(stream.Write("x", 1, 1), 0u);  // not opened yet
  ASSERT_TRUE(stream.Open());
  EXPECT_FALSE(stream.Open());
  std::vector<uint8_t> data(70000);
  std::iota(data.begin(), data.end(), 0);
  EXPECT_EQ(stream.Write(data.data(), 7, 10000), 10000u);
  EXPECT_EQ(stream.Capacity(), 131072);
  EXPECT_EQ(stream.Size(), 70000);
  EXPECT_EQ(stream.Tell(), 70000);
  EXPECT_EQ(0, std::memcmp(stream.GetBuffer(false), data.data(), data.size()));

  for (int i = 0; i < 61072; ++i) ASSERT_TRUE(stream.PutC(uint8_t(i)));
  EXPECT_EQ(stream.Capacity(), 131072);
  EXPECT_TRUE(stream.PutC(1));
  EXPECT_EQ(stream.Capacity(), 196608);
  EXPECT_EQ(stream.Size(), 131073);
}

TEST(MemStream, ReadCountsWholeElements) {
  uint8_t bytes[30];
  std::iota(bytes, bytes + 30, 0);
  CMemStream stream(bytes, 30);
  uint8_t out[18] = {};
  ASSERT_TRUE(stream.Seek(20, 0));
  EXPECT_EQ(stream.Read(out, 18, 1), 0u);  // 10 bytes copied, no whole element
  EXPECT_EQ(out[9], 29);
  EXPECT_EQ(stream.Tell(), 30);
  EXPECT_TRUE(stream.Eof());
  EXPECT_EQ(stream.Read(out, 1, 1), 0u);
  ASSERT_TRUE(stream.Seek(0, 0));
  EXPECT_EQ(stream.Read(out, 4, 3), 3u);
  EXPECT_EQ(stream.Read(nullptr, 1, 1), 0u);
  EXPECT_EQ(stream.Read(out, 0, 5), 0u);
  EXPECT_EQ(stream.Read(out, SIZE_MAX, SIZE_MAX), 0u);  // 18 bytes left: no element of that size
  EXPECT_EQ(stream.Tell(), 30);
}

TEST(MemStream, SeekClampsAndAllowsThePastTheEnd) {
  uint8_t bytes[10] = {};
  CMemStream stream(bytes, 10);
  EXPECT_TRUE(stream.Seek(-5, 0));
  EXPECT_EQ(stream.Tell(), 0);
  EXPECT_TRUE(stream.Seek(4, 1));
  EXPECT_TRUE(stream.Seek(-2, 1));
  EXPECT_EQ(stream.Tell(), 2);
  EXPECT_TRUE(stream.Seek(-3, 2));
  EXPECT_EQ(stream.Tell(), 7);
  EXPECT_TRUE(stream.Seek(-30, 2));
  EXPECT_EQ(stream.Tell(), 0);
  EXPECT_FALSE(stream.Seek(0, 3));
  EXPECT_TRUE(stream.Seek(INT64_MAX, 1));
  EXPECT_TRUE(stream.Seek(INT64_MAX, 1));  // saturates
  EXPECT_EQ(stream.Tell(), INT64_MAX);
  EXPECT_EQ(stream.Error(), 1);
  EXPECT_EQ(stream.GetC(), -1);
  EXPECT_EQ(stream.Write("a", 1, 1), 0u);  // no room that far out
  EXPECT_FALSE(stream.PutC(1));
}

TEST(MemStream, WritesPastTheEndLeaveZeroesAndNeverFreeTheCallersBuffer) {
  uint8_t caller[4] = {1, 2, 3, 4};
  {
    CMemStream stream(caller, 4);
    ASSERT_TRUE(stream.Seek(8, 0));
    EXPECT_EQ(stream.Write("xy", 2, 1), 1u);  // moves the data to a buffer of its own
    EXPECT_EQ(stream.Size(), 10);
    const uint8_t* grown = stream.GetBuffer(false);
    EXPECT_NE(grown, caller);
    EXPECT_EQ(std::vector<uint8_t>(grown, grown + 10), (std::vector<uint8_t>{1, 2, 3, 4, 0, 0, 0, 0, 'x', 'y'}));
  }
  EXPECT_EQ(caller[0], 1);  // still ours; the stream freed only its copy
}

TEST(MemStream, CharactersAndLines) {
  char text[] = "ab\ncd";
  CMemStream stream(reinterpret_cast<uint8_t*>(text), 5);
  char line[8];
  EXPECT_STREQ(stream.GetS(line, 8), "ab\n");
  EXPECT_EQ(stream.GetS(line, 8), nullptr);  // the end came before a line feed
  ASSERT_TRUE(stream.Seek(3, 0));
  EXPECT_STREQ(stream.GetS(line, 2), "c");
  EXPECT_EQ(stream.GetC(), 'd');
  EXPECT_EQ(stream.GetC(), -1);
  EXPECT_EQ(stream.GetS(line, 0), nullptr);
  int value = 0;
  EXPECT_EQ(stream.Scanf("%d", &value), 0);
}

TEST(MemStream, WithoutBuffer) {
  CMemStream stream;
  uint8_t b;
  EXPECT_EQ(stream.Read(&b, 1, 1), 0u);
  EXPECT_FALSE(stream.Seek(0, 0));
  EXPECT_EQ(stream.Tell(), -1);
  EXPECT_EQ(stream.Size(), -1);
  EXPECT_FALSE(stream.Flush());
  EXPECT_TRUE(stream.Eof());
  EXPECT_EQ(stream.Error(), -1);
  EXPECT_FALSE(stream.PutC(1));
  EXPECT_EQ(stream.GetC(), -1);
  EXPECT_TRUE(stream.Close());

  ASSERT_TRUE(stream.Open());
  ASSERT_TRUE(stream.PutC(9));
  uint8_t* kept = stream.GetBuffer(true);
  EXPECT_TRUE(stream.Close());
  EXPECT_EQ(kept[0], 9);  // detached: Close left it alone
  std::free(kept);
}

TEST(FileStream, ReadWriteAndPosition) {
  FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  {
    CFileStream stream(file);
    EXPECT_EQ(stream.Write("hello\nworld", 1, 11), 11u);
    EXPECT_TRUE(stream.PutC('!'));
    EXPECT_TRUE(stream.Flush());
    EXPECT_EQ(stream.Size(), 12);
    EXPECT_EQ(stream.Tell(), 12);
    ASSERT_TRUE(stream.Seek(-6, 2));
    EXPECT_EQ(stream.GetC(), 'w');
    ASSERT_TRUE(stream.Seek(0, 0));
    char line[16];
    EXPECT_STREQ(stream.GetS(line, 16), "hello\n");
    char rest[8] = {};
    EXPECT_EQ(stream.Read(rest, 3, 3), 2u);  // 6 bytes left: two whole elements
    EXPECT_TRUE(stream.Eof());
    EXPECT_EQ(stream.Error(), 0);
    EXPECT_EQ(stream.GetC(), -1);
    EXPECT_TRUE(stream.Close());  // not its FILE: nothing closed
  }
  EXPECT_EQ(std::fseek(file, 0, SEEK_SET), 0);  // still open
  EXPECT_EQ(std::fgetc(file), 'h');
  std::fclose(file);

  CFileStream none;
  uint8_t b;
  EXPECT_EQ(none.Read(&b, 1, 1), 0u);
  EXPECT_EQ(none.Write(&b, 1, 1), 0u);
  EXPECT_FALSE(none.Seek(0, 0));
  EXPECT_EQ(none.Tell(), 0);
  EXPECT_EQ(none.Size(), -1);
  EXPECT_FALSE(none.Flush());
  EXPECT_TRUE(none.Eof());
  EXPECT_EQ(none.Error(), -1);
  EXPECT_FALSE(none.PutC(1));
  EXPECT_EQ(none.GetC(), -1);
  EXPECT_EQ(none.GetS(nullptr, 4), nullptr);
  EXPECT_EQ(none.Scanf("%d", &b), -1);
  EXPECT_TRUE(none.Close());
}

}  // namespace
