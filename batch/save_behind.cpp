#include "batch/save_behind.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "engine/base/row_parallel.h"
#include "platform/staged_file.h"
#include "sources/document.h"

std::string BatchSaveFailedText(const std::string& path) {
  return std::string(save_failed_message) + "\n" + path;
}

int save_behind::Lanes() {
  return int(std::clamp(std::thread::hardware_concurrency(), 1u, 16u));
}

save_behind::save_behind(int lane_count, picture_writer write)
    : lanes(size_t(std::max(lane_count, 1))), writer(std::move(write)) {
  if (!writer)
    writer = [](const std::string& path, const std::string& extension, const bgra* pixels, int width,
                int height, std::vector<uint8_t>& encoded, const std::function<void()>& take_turn) {
      return WriteTargetPicture(path, extension, pixels, width, height, &encoded, take_turn);
    };
}

save_behind::~save_behind() {
  {
    std::lock_guard lock(mutex);
    stopping = true;
  }
  wake.notify_all();
  for (std::thread& worker : workers) worker.join();
}

int save_behind::WaitingForTurn() {
  std::lock_guard lock(mutex);
  return waiting;
}

void save_behind::Start(save_record record, const std::string& extension, const bgra* pixels,
                        int width, int height) {
  const auto free_lane =
      std::find_if(lanes.begin(), lanes.end(), [](const lane& l) { return !l.busy; });
  if (free_lane == lanes.end()) return;
  lane& to = *free_lane;
  const size_t count = size_t(width) * size_t(height);
  if (to.capacity < count) {
    // Left unset: the copy below fills what the save reads.
    to.pixels.reset(new bgra[count]);
    to.capacity = count;
    ++buffers_made;
  }
  bgra* copy = to.pixels.get();
  ParallelRows(height, [&](int first, int end) {
    std::memcpy(copy + size_t(first) * width, pixels + size_t(first) * width,
                size_t(end - first) * width * sizeof(bgra));
  });
  to.record = std::move(record);
  to.record.pixels = copy;
  to.record.width = width;
  to.record.height = height;
  to.record.written = false;
  to.extension = extension;
  to.order = begun++;
  to.busy = true;
  to.done = false;
  in_flight.push_back(&to);
  {
    std::lock_guard lock(mutex);
    queue.push_back(&to);
    // Never more threads than saves at once.
    if (workers.size() < in_flight.size()) workers.emplace_back([this] { Work(); });
  }
  wake.notify_one();
}

const save_behind::save_record* save_behind::Collect(bool wait) {
  if (in_flight.empty()) return nullptr;
  lane* oldest = in_flight.front();
  {
    std::unique_lock lock(mutex);
    if (!wait && !oldest->done) return nullptr;
    turn.wait(lock, [&] { return oldest->done; });
  }
  in_flight.pop_front();
  oldest->busy = false;
  return &oldest->record;
}

void save_behind::WaitForTurn(const lane& job) {
  std::unique_lock lock(mutex);
  if (named == job.order) return;
  ++waiting;
  turn.wait(lock, [&] { return named == job.order; });
  --waiting;
}

bool save_behind::Write(lane& job) {
  const save_record& record = job.record;
  // Left here, a failed save's staged file is removed before the save counts as done.
  staged_file file(record.path);
  bool turn_taken = false;
  const auto take_turn = [&] {
    if (!std::exchange(turn_taken, true)) WaitForTurn(job);
  };
  const bool written = file.Ready() && writer(file.WritePath(), job.extension, record.pixels,
                                              record.width, record.height, job.encoded, take_turn);
  take_turn();
  // No other save writes or takes its name until this one is done.
  return written && file.Commit();
}

void save_behind::Work() {
  for (;;) {
    lane* job = nullptr;
    {
      std::unique_lock lock(mutex);
      wake.wait(lock, [&] { return stopping || !queue.empty(); });
      if (queue.empty()) return;
      job = queue.front();
      queue.pop_front();
    }
    const bool written = Write(*job);
    {
      std::lock_guard lock(mutex);
      job->record.written = written;
      job->done = true;
      ++named;
    }
    turn.notify_all();
  }
}
