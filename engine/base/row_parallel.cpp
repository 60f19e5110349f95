#include "engine/base/row_parallel.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

class row_pool {
 public:
  explicit row_pool(int threads) {
    for (int i = 1; i < threads; ++i) workers.emplace_back([this] { WorkLoop(); });
  }

  ~row_pool() {
    {
      std::lock_guard lock(mutex);
      stopping = true;
      ++generation;
    }
    wake.notify_all();
    for (auto& t : workers) t.join();
  }

  int Threads() const { return int(workers.size()) + 1; }

  void Run(int rows, const std::function<void(int, int)>& body,
           const std::function<void(int)>* progress) {
    // Several bands per thread even out uneven rows (rotated sources, clipped layers).
    task t{&body, rows, std::min(rows, Threads() * 8), 0};
    {
      std::lock_guard lock(mutex);
      t.id = ++generation;
      current = t;
      pending = t.bands;
      rows_done = 0;
      cursor.store(t.id << 32);
    }
    wake.notify_all();
    RunBands(t, progress);
    std::unique_lock lock(mutex);
    while (pending != 0) {
      if (!progress) {
        done.wait(lock);
        continue;
      }
      // A look now and then is enough for a percentage; the workers go on while the
      // progress is painted, and nobody wakes this thread for every band.
      done.wait_for(lock, std::chrono::milliseconds(4));
      const int finished = rows_done;
      lock.unlock();
      (*progress)(finished);
      lock.lock();
    }
    lock.unlock();
    if (progress) (*progress)(rows);
  }

 private:
  struct task {
    const std::function<void(int, int)>* body;
    int rows;
    int bands;
    uint64_t id;
  };

  // The cursor holds the run's id in its high half and the next band in its low
  // half, so a worker still holding an earlier run can never take a band of this one.
  bool TakeBand(const task& t, int& band) {
    uint64_t seen = cursor.load();
    for (;;) {
      if ((seen >> 32) != t.id || int(uint32_t(seen)) >= t.bands) return false;
      if (cursor.compare_exchange_weak(seen, seen + 1)) {
        band = int(uint32_t(seen));
        return true;
      }
    }
  }

  // progress is given on the calling thread only.
  void RunBands(const task& t, const std::function<void(int)>* progress = nullptr) {
    int band = 0;
    while (TakeBand(t, band)) {
      const int first = int(int64_t(t.rows) * band / t.bands);
      const int end = int(int64_t(t.rows) * (band + 1) / t.bands);
      (*t.body)(first, end);
      int finished;
      {
        std::lock_guard lock(mutex);
        finished = rows_done += end - first;
        if (--pending == 0) done.notify_all();
      }
      if (progress) (*progress)(finished);
    }
  }

  void WorkLoop() {
    uint64_t seen = 0;
    for (;;) {
      task t;
      {
        std::unique_lock lock(mutex);
        wake.wait(lock, [&] { return generation != seen; });
        seen = generation;
        if (stopping) return;
        t = current;
      }
      RunBands(t);
    }
  }

  std::vector<std::thread> workers;
  std::mutex mutex;
  std::condition_variable wake;
  std::condition_variable done;
  task current{nullptr, 0, 0, 0};
  std::atomic<uint64_t> cursor{0};
  int pending = 0;
  int rows_done = 0;
  uint64_t generation = 0;
  bool stopping = false;
};

int DefaultThreads() { return int(std::max(1u, std::thread::hardware_concurrency())); }

std::mutex pool_mutex;
std::unique_ptr<row_pool> pool;
int wanted_threads = 0;

row_pool& Pool() {
  std::lock_guard lock(pool_mutex);
  const int threads = wanted_threads > 0 ? wanted_threads : DefaultThreads();
  if (!pool || pool->Threads() != threads) {
    pool.reset();
    pool = std::make_unique<row_pool>(threads);
  }
  return *pool;
}

// Set while this thread paints progress in the middle of a run: anything that asks
// for rows then runs them itself instead of disturbing the run.
thread_local bool reporting = false;

}  // namespace

void ParallelRows(int rows, const std::function<void(int, int)>& body) {
  if (rows <= 0) return;
  if (reporting) {
    body(0, rows);
    return;
  }
  row_pool& p = Pool();
  if (p.Threads() == 1 || rows < 8) {
    body(0, rows);
    return;
  }
  p.Run(rows, body, nullptr);
}

void ParallelRows(int rows, const std::function<void(int, int)>& body,
                  const std::function<void(int)>& progress) {
  if (rows <= 0) return;
  if (reporting) {
    body(0, rows);
    progress(rows);
    return;
  }
  row_pool& p = Pool();
  if (p.Threads() == 1 || rows < 8) {
    constexpr int steps = 16;
    for (int step = 0; step < steps; ++step) {
      const int first = int(int64_t(rows) * step / steps), end = int(int64_t(rows) * (step + 1) / steps);
      if (first == end) continue;
      body(first, end);
      progress(end);
    }
    return;
  }
  const std::function<void(int)> guarded = [&](int finished) {
    reporting = true;
    progress(finished);
    reporting = false;
  };
  p.Run(rows, body, &guarded);
}

int RowThreads() { return Pool().Threads(); }

void SetRowThreads(int threads) {
  std::lock_guard lock(pool_mutex);
  wanted_threads = std::max(0, threads);
}
