#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <thread>
#include <iterator>
#include <vector>

#include "batch/decode_ahead.h"
#include "batch/save_behind.h"
#include "codecs/imaging.h"
#include "tests/core/sources/document_fixture.h"

namespace fs = std::filesystem;

namespace {

class pipeline_stages : public document_test {
 protected:
  // A w x h JPEG whose pixels all have the value n.
  std::string Picture(const std::string& name, int w, int h, int n) {
    const std::vector<uint8_t> bgr(size_t(w) * h * 3, uint8_t(n));
    std::string error;
    EXPECT_TRUE(imaging::EncodeFile(Path(name), imaging::container::jpeg, {bgr.data(), w, h, size_t(w) * 3, 3}, error));
    return Path(name);
  }
};

// Decodes of both sources run ahead side by side; a load takes its own and drops the
// decodes of its source that it passed over, never the other source's.
TEST_F(pipeline_stages, DecodesAheadAreTakenInTurnPerSource) {
  const std::string a = Picture("a.jpg", 8, 6, 10), b = Picture("b.jpg", 9, 7, 20), c = Picture("c.jpg", 5, 4, 30);
  decode_ahead ahead;
  ahead.Start(a, 2), ahead.Start(c, 1), ahead.Start(b, 2);
  ahead.Start(b, 2);  // already under way
  ahead.Start(Path("d.tga"), 2);  // not a format decoded ahead
  EXPECT_EQ(ahead.Started(), 3);
  decoded_source* picture = ahead.Take(b, 2);  // a was passed over
  ASSERT_TRUE(picture && picture->ok);
  EXPECT_EQ(picture->size.width, 9);
  EXPECT_EQ(ahead.Take(a, 2), nullptr);
  picture = ahead.Take(c, 1);
  ASSERT_TRUE(picture && picture->ok);
  EXPECT_EQ(picture->size.height, 4);
  EXPECT_EQ(ahead.Take(c, 1), nullptr);
  // A load of anything else drops what its source had under way.
  ahead.Start(a, 2);
  EXPECT_EQ(ahead.Take(b, 2), nullptr);
  EXPECT_EQ(ahead.Take(a, 2), nullptr);
}

// The memory of each picture a load hands back is decoded into again: after the
// first pictures, decoding ahead allocates nothing, and each picture is its own.
TEST_F(pipeline_stages, PicturesAreDecodedIntoTheMemoryLoadsHandBack) {
  std::vector<std::string> pictures;
  for (int n = 1; n <= 5; ++n) pictures.push_back(Picture("p" + std::to_string(n) + ".jpg", 8, 6, 40 * n));
  decode_ahead ahead;
  ahead.Start(pictures[0], 2), ahead.Start(pictures[1], 2);
  std::vector<const uint8_t*> memory;
  for (size_t n = 0; n < pictures.size(); ++n) {
    decoded_source* picture = ahead.Take(pictures[n], 2);
    ASSERT_TRUE(picture && picture->ok);
    memory.push_back(picture->image.bitmap);
    ASSERT_TRUE(doc.TakeDecodedSource(*picture, 2));
    const decoded_source fresh = DecodeImagingFile(pictures[n]);
    ASSERT_TRUE(fresh.ok);
    EXPECT_EQ(std::memcmp(doc.source_image[1].Pixels(), fresh.image.Pixels(), 8 * 6 * 4), 0) << n;
    if (n + 2 < pictures.size()) ahead.Start(pictures[n + 2], 2);
  }
  EXPECT_EQ(ahead.Started(), 5);
  EXPECT_EQ(ahead.Reused(), 2);
  EXPECT_EQ(memory[3], memory[0]);
  EXPECT_EQ(memory[4], memory[1]);
}

// A writer that puts the first pixel's blue byte into the file, and holds each save
// until it is let go; it counts the saves being written at once.
struct held_writer {
  std::mutex mutex;
  std::condition_variable changed;
  int inside = 0, most = 0, entered = 0;
  std::function<bool(int blue)> hold = [](int) { return true; };  // false: the save fails

  save_behind::picture_writer Writer() {
    return [this](const std::string& path, const std::string&, const bgra* pixels, int, int, std::vector<uint8_t>&,
                  const std::function<void()>& take_turn) {
      {
        std::lock_guard lock(mutex);
        most = std::max(most, ++inside);
        ++entered;
      }
      changed.notify_all();
      const bool written = hold(pixels[0].blue);
      {
        std::lock_guard lock(mutex);
        --inside;
      }
      if (!written) return false;
      take_turn();
      std::ofstream(path) << int(pixels[0].blue);
      return true;
    };
  }
  // Waits until done() holds, for at most ten seconds: a pipeline that cannot get
  // there would hang otherwise.
  bool Until(const std::function<bool()>& done) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, std::chrono::seconds(10), done);
  }
};

// Saves are written as many at once as there are lanes, never more; each lane keeps
// its buffer from save to save.
TEST_F(pipeline_stages, SavesAreWrittenSideBySideOneALane) {
  constexpr int lanes = 3;
  held_writer held;
  std::atomic<bool> all_in{true};
  // Each save waits until the saves of its group of lanes have all begun writing.
  held.hold = [&](int blue) {
    if (!held.Until([&] { return held.entered >= (blue / lanes + 1) * lanes; })) all_in = false;
    return true;
  };
  save_behind saves(lanes, held.Writer());
  bgra pixel{};
  for (int n = 0; n < 4 * lanes; ++n) {
    while (saves.Full()) ASSERT_TRUE(saves.Collect()->written);
    pixel.blue = uint8_t(n);
    save_behind::save_record record;
    record.path = Path(std::to_string(n));
    saves.Start(record, "bmp", &pixel, 1, 1);
    pixel.blue = 255;  // the save has its copy
  }
  while (const save_behind::save_record* done = saves.Collect()) EXPECT_TRUE(done->written);
  EXPECT_TRUE(all_in);
  EXPECT_EQ(held.most, lanes);
  EXPECT_EQ(saves.BuffersMade(), lanes);
  for (int n = 0; n < 4 * lanes; ++n) EXPECT_EQ(ReadAll(Path(std::to_string(n))), std::to_string(n));
}

// Files take their names in the order their saves were begun: of saves to one name
// the last begun stays, though it is written first, and none is under its name
// while an earlier save is still being written. A failed save leaves nothing.
TEST_F(pipeline_stages, FilesTakeTheirNamesInTheOrderBegun) {
  held_writer held;
  save_behind* pipeline = nullptr;
  bool named_early = true;
  held.hold = [&](int blue) {
    if (blue == 1) {
      // Held until the later saves are written, or have failed, and wait for their turn.
      bool waiting = false;
      for (int i = 0; i < 10000 && !waiting; ++i) {
        waiting = pipeline->WaitingForTurn() == 2;
        if (!waiting) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
      named_early = !waiting || fs::exists(Path("same"));
    }
    return blue != 3;
  };
  save_behind saves(3, held.Writer());
  pipeline = &saves;
  bgra pixel{};
  for (const auto& [blue, name] : {std::pair{1, "same"}, {2, "same"}, {3, "failed"}}) {
    pixel.blue = uint8_t(blue);
    save_behind::save_record record;
    record.path = Path(name);
    record.number = blue;
    saves.Start(record, "bmp", &pixel, 1, 1);
  }
  std::vector<std::pair<int, bool>> collected;
  while (const save_behind::save_record* done = saves.Collect()) collected.emplace_back(done->number, done->written);
  EXPECT_FALSE(named_early);
  EXPECT_EQ(collected, (std::vector<std::pair<int, bool>>{{1, true}, {2, true}, {3, false}}));
  EXPECT_EQ(ReadAll(Path("same")), "2");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);  // no staged files left
}

}  // namespace
