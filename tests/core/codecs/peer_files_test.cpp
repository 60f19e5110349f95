// ImageMagick and Pillow write BMP, TGA and PCX files that we decode, and decode files that we write.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/core/codecs/raster_test_support.h"

namespace fs = std::filesystem;

namespace {

// Our decode of path against a tool's; mask picks the colour bits that count. Tells if ours has alpha.
bool ExpectSamePixels(const fs::path& path, const bytes& tool, uint8_t mask, bool alpha) {
  const std::string ext = path.extension().string();
  const CRaster image(path.c_str(),
                      ext == ".bmp" ? raster_format_bmp : ext == ".tga" ? raster_format_tga : raster_format_pcx);
  const bytes ours = RgbaTopDown(image);
  EXPECT_EQ(ours.size(), tool.size()) << image.GetErrorText();
  for (size_t i = 0, mismatches = 0; i < ours.size() && ours.size() == tool.size(); ++i) {
    const uint8_t m = i % 4 != 3 ? mask : alpha ? 0xFF : 0;
    if ((ours[i] & m) != (tool[i] & m) && ++mismatches <= 3)
      ADD_FAILURE() << "pixel " << i / 4 << "." << i % 4 << ": ours " << int(ours[i]) << ", tool " << int(tool[i]);
  }
  return image.AlphaIsValid();
}

class PeerFiles : public testing::Test {
 protected:
  static void SetUpTestSuite() { fs::create_directories(folder); }
  static void TearDownTestSuite() { fs::remove_all(folder); }
  static bool RunScript(const std::string& arguments) {
    const std::string script = VORBEL_SOURCE_DIR "/tests/core/codecs/peer_files.py ";
    return !std::system(("/usr/bin/python3 " + script + arguments).c_str());
  }
  static inline fs::path folder = fs::temp_directory_path() / ("vorbel_peers_" + std::to_string(::getpid()));
};

TEST_F(PeerFiles, FilesTheToolsWriteDecodeToThePixelsTheyReport) {
  ASSERT_TRUE(RunScript("write " + folder.string())) << "needs /usr/bin/convert and /usr/bin/python3 with PIL";
  std::ifstream manifest(folder / "manifest.txt");
  int files = 0, mask, alpha;
  for (std::string name; manifest >> name >> mask >> alpha; ++files) {
    SCOPED_TRACE(name);
    const bytes tool = ReadFile(folder / (name + ".rgba"));
    ASSERT_FALSE(tool.empty()) << "its writer does not read it back";
    EXPECT_EQ(ExpectSamePixels(folder / name, tool, uint8_t(mask), alpha), alpha == 1);
  }
  EXPECT_EQ(files, 59);
}

TEST_F(PeerFiles, FilesWeWriteOrMakeDecodeAlikeInBothTools) {
  struct file {
    std::string name;
    bytes data;
    bool pillow, magick, alpha = false;  // the tools take 32-bit BMP as opaque
  };
  std::vector<file> files;
  for (uint32_t format : {raster_format_bmp, raster_format_tga, raster_format_pcx})
    for (uint32_t bits : {1u, 4u, 8u, 24u, 32u}) {
      if (format == raster_format_tga && bits < 8) continue;
      CRaster image;
      ASSERT_TRUE(MakeImage(image, 47, 13, bits == 32 ? 24 : bits, bits * 7 + format, bits == 32));
      if (bits == 1) image.SetPaletteColor(0, 0, 0, 0), image.SetPaletteColor(1, 255, 255, 255);
      const char* ext = format == raster_format_bmp ? ".bmp" : format == raster_format_tga ? ".tga" : ".pcx";
      // Pillow reads no PCX with four 8-bit planes; ImageMagick reads a 1-bit PCX with 0 as white.
      const bool pcx = format == raster_format_pcx;
      files.push_back({"ours_" + std::to_string(bits) + ext, EncodeToBytes(image, format), !(bits == 32 && pcx),
                       !(bits == 1 && pcx), bits == 32 && format != raster_format_bmp});
    }
  // Runs across row ends, which Pillow refuses; raw packets across row ends.
  files.push_back(
      {"run_across_rows.tga", Concat({TgaHeader(10, 24, 5, 3), {0x82, 1, 2, 3, 0xFF, 40, 50, 60}}), false, true});
  files.push_back({"raw_across_rows.tga",
                   Concat({TgaHeader(10, 24, 2, 3), {4, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0x80},
                           {16, 17, 18}}),
                   true, true});
  // Colour maps of 24 and 32 bits that start at index 5; Pillow reads no 32-bit map.
  for (uint8_t entry_bits : {24, 32}) {
    bytes mapped = TgaHeader(1, 8, 4, 2, 0, 3);
    mapped[3] = 5, mapped[7] = entry_bits;
    bytes map;
    for (uint8_t i = 0; i < 3; ++i) {
      map.insert(map.end(), {uint8_t(40 * i + 1), uint8_t(90 - 30 * i), uint8_t(200 + i)});
      if (entry_bits == 32) map.push_back(255);
    }
    files.push_back({"map" + std::to_string(entry_bits) + "_first5.tga", Concat({mapped, map, {5, 6, 7, 6, 7, 7, 5, 6}}),
                     entry_bits == 24, true});
  }
  // One plane of 2 bits a pixel, which Pillow does not read.
  bytes pcx = PcxHeader(2, 1, 7, 2, 2);
  for (int i = 0; i < 48; ++i) pcx[16 + i] = uint8_t(i * 37 + 11);
  files.push_back({"two_bits.pcx", Concat({pcx, {0x1B, 0x6C, 0x39, 0x00}}), false, true});

  std::string arguments = "read";
  for (const file& f : files) {
    WriteFile(folder / f.name, f.data);
    arguments += " " + (folder / f.name).string();
  }
  ASSERT_TRUE(RunScript(arguments));
  for (const file& f : files)
    for (const auto& [tool, wanted] : {std::pair{".im.rgba", f.magick}, std::pair{".pil.rgba", f.pillow}}) {
      SCOPED_TRACE(f.name + tool);
      const bytes seen = ReadFile(folder / (f.name + tool));
      if (!wanted) continue;
      ASSERT_FALSE(seen.empty()) << "the tool refuses it";
      ExpectSamePixels(folder / f.name, seen, 0xFF, f.alpha);
    }
}

}  // namespace
