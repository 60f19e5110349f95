#include <cstring>
#include <filesystem>
#include <iterator>
#include <random>
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

// Saves written side by side still give their files their names in the order begun:
// of saves to one name, the last begun stays, though it is written sooner.
TEST_F(pipeline_stages, SavesToOneNameLeaveTheLastBegun) {
  target_width = max_target_width, target_height = max_target_height;
  const std::string path = Path("same.out");
  save_behind saves;
  // A large PNG of noise, slow to write, then a BMP, quick to write.
  std::mt19937 rng(3);
  for (bgra& pixel : target_pixels) pixel = {uint8_t(rng()), uint8_t(rng()), uint8_t(rng()), 0};
  saves.Start(doc, path, "png");
  for (bgra& pixel : target_pixels) pixel = {7, 8, 9, 0};
  saves.Start(doc, path, "bmp");
  saves.Finish();
  EXPECT_TRUE(ui.messages.empty());
  const std::string bytes = ReadAll(path);
  ASSERT_GT(bytes.size(), 57u);
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  EXPECT_EQ(bytes.substr(54, 3), "\x07\x08\x09");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);  // no staged files left
  target_width = target_height = 0;
}

}  // namespace
