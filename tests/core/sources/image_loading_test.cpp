#include <cstring>

#include "document_fixture.h"
#include "tests/core/codecs/bmp_builder.h"

using image_loading = document_test;

TEST_F(image_loading, EachFormatLoadsTopRowFirstWithAFullMask) {
  for (const char* ext : {"bmp", "png", "tif", "tga", "pcx", "jpg", "alpha.png"}) {
    SCOPED_TRACE(ext);
    const std::string path = CopyOf(std::string(ext[0] == 'a' ? "" : "good.") + ext, std::string("pic.") + ext);
    ASSERT_TRUE(doc.LoadSourceImage(path, 2));
    const image_record& record = doc.source_image[1];
    EXPECT_EQ(doc.source_kind[1], kind_file);
    EXPECT_EQ(ui.labels[2], path);
    ASSERT_EQ(record.mask_size, 37 * 23);
    for (int i = 0; i < record.mask_size; ++i) ASSERT_EQ(record.mask[i], 1);
    if (ext[0] != 'a') {
      EXPECT_LE(WorstDifference(record, 37, 23, Generated), std::string(ext) == "jpg" ? 12 : 0);
      continue;
    }
    for (int y = 0; y < 23; ++y)  // a PNG's alpha stays in the fourth byte
      for (int x = 0; x < 37; ++x)
        ASSERT_EQ(PixelOf(record, x, y), (Generated(x, y) & 0xFFFFFF) | uint32_t((x * 6 + y) % 256) << 24) << x;
  }
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(image_loading, UpperCaseJpegIsAJpegAndTiffOrEightBitTgaIsRefused) {
  EXPECT_TRUE(doc.LoadSourceImage(CopyOf("good.jpg", "PHOTO.JPEG"), 1));
  EXPECT_TRUE(ui.messages.empty());
  const std::string tiff = CopyOf("good.tif", "scan.tiff");
  EXPECT_FALSE(doc.LoadSourceImage(tiff, 2));
  EXPECT_EQ(ui.messages, (message_list{{Unable(tiff), message_icon::error}}));
  EXPECT_EQ(doc.source_kind[1], kind_none);
  ui.messages.clear();
  const std::string grey = CopyOf("grey8.tga", "grey.tga");
  EXPECT_FALSE(doc.LoadSourceImage(grey, 2));
  EXPECT_EQ(ui.messages, (message_list{{"Cannot handle this type of image.", message_icon::error},
                                       {Unable(grey), message_icon::error}}));
}

// Every broken or oversized file under every extension: the message last, the source there still whole.
TEST_F(image_loading, BadFilesLoseNothing) {
  const std::string good = CopyOf("good.png", "keep.png");
  ASSERT_TRUE(doc.LoadSourceImage(good, 1));
  const uint8_t* kept = doc.source_image[0].bitmap;
  for (const char* kind : {"empty", "cut", "noise", "flat", "huge"})
    for (const char* ext : {"bmp", "jpg", "png", "tif", "tga", "pcx"}) {
      const std::string name = std::string(kind) + "." + ext;
      SCOPED_TRACE(name);
      ui.messages.clear();
      const std::string path = CopyOf(name, name);
      EXPECT_FALSE(doc.LoadSourceImage(path, 1));
      ASSERT_FALSE(ui.messages.empty());
      EXPECT_EQ(ui.messages.back(), std::make_pair(Unable(path), message_icon::error));
      EXPECT_EQ(doc.source_image[0].bitmap, kept);
      EXPECT_EQ(doc.file_name[0], good);
    }
  EXPECT_EQ(WorstDifference(doc.source_image[0], 37, 23, Generated), 0);
}

TEST_F(image_loading, LoadSourceFilePlacesTheSourceThatStays) {
  ASSERT_TRUE(doc.LoadSourceFile(CopyOf("good.tif", "a.tif"), 2));
  EXPECT_EQ(ui.titles, std::vector<std::string>{""});
  EXPECT_FALSE(doc.LoadSourceFile(CopyOf("noise.tif", "b.tif"), 2));
  EXPECT_EQ(ui.moved, (std::vector<int>{2, 2}));
  EXPECT_EQ(doc.file_name[1], Path("a.tif"));
}

TEST_F(image_loading, AnUnplacedLoadTakesAPictureDecodedAheadAndLaysThePaneOutOnlyForANewKind) {
  const std::string first = CopyOf("good.png", "a.png"), second = CopyOf("good.jpg", "b.jpg");
  doc.source_kind[1] = kind_text;
  decoded_source ahead = DecodeImagingFile(second);
  ASSERT_TRUE(ahead.ok);
  ahead.path = first;  // stands in for this path: the load must take it, not decode
  ASSERT_TRUE(doc.LoadSourceFile(first, 2, &ahead, false));
  const decoded_source jpeg = DecodeImagingFile(second);
  const size_t bytes = size_t(jpeg.size.width) * size_t(jpeg.size.height) * 4;
  ASSERT_EQ(doc.image_size[1].width, jpeg.size.width);
  EXPECT_EQ(std::memcmp(doc.source_image[1].Pixels(), jpeg.image.Pixels(), bytes), 0);
  EXPECT_EQ(doc.source_kind[1], kind_file);
  EXPECT_EQ(ui.layouts, 1);  // a text source became a file
  ASSERT_TRUE(doc.LoadSourceFile(second, 2, nullptr, false));
  EXPECT_EQ(ui.layouts, 1);  // a file over a file: the pane stays as it is
  decoded_source failed = DecodeImagingFile(Path("missing.jpg"));
  EXPECT_FALSE(failed.ok);
  EXPECT_FALSE(doc.LoadSourceFile(second, 2, &(failed.path = second, failed), false));
  EXPECT_EQ(ui.messages.back(), (std::pair<std::string, message_icon>{Unable(second), message_icon::error}));
  EXPECT_TRUE(ui.moved.empty());
}

// A bitmap of a depth no decoder reads, as a BMP file (the imaging road) and under a
// TGA name (the image class's automatic pass): refused, not a blank source.
TEST_F(image_loading, BitmapsOfUnreadableDepthsAreRefusedOnEveryRoad) {
  for (uint16_t bits : {0, 3, 64, 65535})
    for (const char* ext : {"bmp", "tga"}) {
      bmp_builder bmp;
      bmp.bits = bits, bmp.width = bmp.height = 8000;
      const std::vector<uint8_t> data = bmp.Bytes();
      const std::string path = Path(std::string("depth.") + ext);
      WriteAll(path, std::string(data.begin(), data.end()));
      EXPECT_FALSE(doc.LoadSourceImage(path, 1)) << bits << " " << ext;
      EXPECT_EQ(doc.source_image[0].bitmap, nullptr);
    }
}
