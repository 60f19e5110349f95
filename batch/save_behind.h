#pragma once
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/base/process_state.h"

// Saves of the target encoded on worker threads while the caller goes on with the
// next pairs, as many at once as there are lanes (one a core). A save copies the
// picture into its lane's buffer, which the lane keeps from save to save together
// with the encoder's bytes: after the first saves a run allocates nothing for them.
// The encoding runs side by side; the bytes reach the disk one save at a time, in
// the order the saves were begun, each file taking its name before the next save
// writes: of saves to one name the last begun stays, on a disk that fills up the
// outputs that fit are the first ones, as saves one at a time leave them, and in a
// run that is stopped no file under its name comes after a save still unwritten.
// The caller collects the saves in the order begun, on its own thread.
class save_behind {
 public:
  // A save as it was begun, with what its report would need.
  struct save_record {
    std::string path;
    std::string names[2];  // the pair's sources' files, where they are files
    int number = 0;        // the pair's count
    // The picture saved, in the lane's buffer: kept until the next Start.
    const bgra* pixels = nullptr;
    int width = 0, height = 0;
    bool written = false;  // known once collected
  };
  // Writes a picture into a file that takes its name afterwards; encoded is the
  // lane's buffer for the encoder's bytes. It runs take_turn once it has done the
  // work that needs no disk and before it writes. Null: the program's writer.
  using picture_writer = std::function<bool(
      const std::string& path, const std::string& extension, const bgra* pixels, int width,
      int height, std::vector<uint8_t>& encoded, const std::function<void()>& take_turn)>;

  explicit save_behind(int lanes = Lanes(), picture_writer writer = nullptr);
  // Waits until every save begun is written or has failed.
  ~save_behind();
  save_behind(const save_behind&) = delete;
  save_behind& operator=(const save_behind&) = delete;

  // The machine's hardware threads, at most 16: the memory of a lane is that of a
  // target and its file.
  static int Lanes();
  int LaneCount() const { return int(lanes.size()); }

  // Whether every lane holds a save that was not collected: Start must wait.
  bool Full() const { return in_flight.size() == lanes.size(); }
  // Starts writing a copy of the width x height pixels into record.path. Not when Full().
  void Start(save_record record, const std::string& extension, const bgra* pixels, int width,
             int height);
  // The oldest save not yet collected, once it is written or has failed; null when
  // none is left, or with wait false when it is still being written. Kept until the
  // next Start.
  const save_record* Collect(bool wait = true);

  // The lanes' picture buffers made so far.
  int BuffersMade() const { return buffers_made; }
  // Saves encoded that wait now for an earlier one to be written and named first.
  int WaitingForTurn();

 private:
  struct lane {
    std::unique_ptr<bgra[]> pixels;
    size_t capacity = 0;
    std::vector<uint8_t> encoded;
    save_record record;
    std::string extension;
    uint64_t order = 0;
    bool busy = false;  // begun and not collected
    bool done = false;  // written or failed, under the mutex
  };
  void Work();
  // Encodes and writes the lane's save, taking its turn for the disk; true when written.
  bool Write(lane& job);
  void WaitForTurn(const lane& job);

  std::vector<lane> lanes;
  picture_writer writer;
  std::deque<lane*> in_flight;  // in the order begun
  int buffers_made = 0;
  uint64_t begun = 0;

  std::mutex mutex;
  std::condition_variable wake;  // a save to write, or the end
  std::condition_variable turn;  // a save took its name or failed
  std::deque<lane*> queue;
  uint64_t named = 0;  // saves that took their names or failed, from the first
  int waiting = 0;
  bool stopping = false;
  std::vector<std::thread> workers;
};

// What a batch shows when the output file at path could not be written.
std::string BatchSaveFailedText(const std::string& path);
