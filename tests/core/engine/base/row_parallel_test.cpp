#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "engine/base/row_parallel.h"

namespace {

// Back-to-back runs of different sizes: a worker late from one run must never take
// or repeat a band of the next; the progress reports stay on the calling thread.
TEST(RowParallel, EveryRowExactlyOnceAcrossManyRuns) {
  for (int threads : {1, 2, 3, 8}) {
    SetRowThreads(threads);
    for (int rows = 0; rows < 300; rows += 7) {
      std::vector<std::atomic<int>> seen(size_t(rows) + 1);
      ParallelRows(rows, [&](int first, int end) {
        for (int r = std::max(first, 0); r < end; ++r) seen[size_t(std::min(r, rows))]++;
      });
      for (int r = 0; r <= rows; ++r) ASSERT_EQ(seen[size_t(r)].load(), r < rows) << threads << " " << rows << " " << r;
      // With progress: told on this thread only, never backwards, last with every row.
      // Rows asked for while the progress is painted run there and then.
      std::vector<int> told;
      const std::thread::id caller = std::this_thread::get_id();
      bool elsewhere = false;
      std::atomic<int> outer{0}, nested{0};
      ParallelRows(
          rows, [&](int first, int end) { outer += end - first; },
          [&](int finished) {
            told.push_back(finished), elsewhere |= std::this_thread::get_id() != caller;
            ParallelRows(10, [&](int first, int end) { nested += end - first; });
          });
      ASSERT_EQ(told.empty(), rows == 0) << threads << " " << rows;
      EXPECT_EQ(outer.load(), rows);
      EXPECT_EQ(nested.load(), 10 * int(told.size()));
      EXPECT_FALSE(elsewhere);
      EXPECT_TRUE(std::is_sorted(told.begin(), told.end()));
      if (rows > 0) {
        EXPECT_EQ(told.back(), rows);
      }
    }
  }
  SetRowThreads(0);
}

}  // namespace
