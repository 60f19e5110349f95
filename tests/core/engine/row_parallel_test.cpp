#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "engine/row_parallel.h"

namespace {

// Back-to-back runs of different sizes: a worker late from one run must never take
// or repeat a band of the next.
TEST(RowParallel, EveryRowExactlyOnceAcrossManyRuns) {
  for (int threads : {1, 2, 3, 8}) {
    SetRowThreads(threads);
    for (int rows = 0; rows < 300; rows += 7) {
      std::vector<std::atomic<int>> seen(size_t(rows) + 1);
      ParallelRows(rows, [&](int first, int end) {
        for (int r = std::max(first, 0); r < end; ++r) seen[size_t(std::min(r, rows))]++;
      });
      for (int r = 0; r <= rows; ++r) ASSERT_EQ(seen[size_t(r)].load(), r < rows) << threads << " " << rows << " " << r;
    }
  }
  SetRowThreads(0);
}

}  // namespace
