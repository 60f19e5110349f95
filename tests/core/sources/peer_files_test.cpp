// ImageMagick and Pillow write BMP, TGA and PCX files that we decode, and decode files that we write.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/core/sources/raster_test_support.h"

namespace fs = std::filesystem;

namespace {

uint32_t FormatOf(const fs::path& path) {
  const std::string ext = path.extension().string();
  return ext == ".bmp" ? raster_format_bmp : ext == ".tga" ? raster_format_tga : raster_format_pcx;
}

// Our decode of path against the pixels a tool read from it; mask picks the colour bits that count.
void ExpectSamePixels(const fs::path& path, const bytes& tool, uint8_t mask, bool alpha) {
  CRaster image(path.c_str(), FormatOf(path));
  ASSERT_TRUE(image.IsValid()) << path << ": " << image.GetErrorText();
  EXPECT_EQ(image.GetFormat(), FormatOf(path));
  const bytes ours = RgbaTopDown(image);
  ASSERT_EQ(ours.size(), tool.size()) << path;
  int mismatches = 0;
  for (size_t i = 0; i < ours.size(); ++i) {
    const uint8_t m = i % 4 != 3 ? mask : alpha ? 0xFF : 0;
    if ((ours[i] & m) != (tool[i] & m) && ++mismatches <= 3)
      ADD_FAILURE() << path << " pixel " << i / 4 << " channel " << i % 4 << ": ours " << int(ours[i]) << ", tool "
                    << int(tool[i]);
  }
}

class PeerFiles : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder = fs::temp_directory_path() / ("vorbel_peers_" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  static void TearDownTestSuite() { fs::remove_all(folder); }
  static bool RunScript(const std::string& arguments) {
    return std::system(("/usr/bin/python3 " VORBEL_SOURCE_DIR "/tests/core/sources/peer_files.py " + arguments).c_str()) ==
           0;
  }
  static inline fs::path folder;
};

TEST_F(PeerFiles, FilesTheToolsWriteDecodeToThePixelsTheyReport) {
  ASSERT_TRUE(RunScript("write " + folder.string())) << "needs /usr/bin/convert and /usr/bin/python3 with PIL";
  std::ifstream manifest(folder / "manifest.txt");
  int files = 0;
  std::string name;
  int mask, alpha;
  while (manifest >> name >> mask >> alpha) {
    SCOPED_TRACE(name);
    ++files;
    const bytes tool = ReadFile(folder / (name + ".rgba"));
    ASSERT_FALSE(tool.empty()) << "its writer does not read it back";
    ExpectSamePixels(folder / name, tool, uint8_t(mask), alpha);
    EXPECT_EQ(CRaster((folder / name).c_str(), FormatOf(name)).AlphaIsValid(), alpha == 1);
  }
  EXPECT_EQ(files, 65);
}

bytes TgaHeader(uint8_t type, uint8_t depth, uint8_t width, uint8_t height) {
  bytes h(18, 0);
  h[2] = type;
  h[12] = width;
  h[14] = height;
  h[16] = depth;
  return h;
}

TEST_F(PeerFiles, FilesWeWriteOrMakeDecodeAlikeInBothTools) {
  struct file {
    std::string name;
    bytes data;
    bool pillow, magick;
    bool alpha = false;  // compared for TGA and PCX; the tools take 32-bit BMP as opaque
    uint8_t mask = 0xFF;
  };
  std::vector<file> files;
  for (uint32_t format : {raster_format_bmp, raster_format_tga, raster_format_pcx})
    for (uint32_t bits : {1u, 4u, 8u, 24u, 32u}) {
      if (format == raster_format_tga && bits < 8) continue;
      CRaster image;
      ASSERT_TRUE(MakeImage(image, 47, 13, bits == 32 ? 24 : bits, bits * 7 + format, bits == 32));
      if (bits == 1) {
        image.SetPaletteColor(0, 0, 0, 0);
        image.SetPaletteColor(1, 255, 255, 255);
      }
      const char* ext = format == raster_format_bmp ? ".bmp" : format == raster_format_tga ? ".tga" : ".pcx";
      // Pillow reads no PCX with four 8-bit planes; ImageMagick reads a 1-bit PCX with 0 as white.
      const bool pcx = format == raster_format_pcx;
      files.push_back({"ours_" + std::to_string(bits) + ext, EncodeToBytes(image, format), !(bits == 32 && pcx),
                       !(bits == 1 && pcx), format != raster_format_bmp});
    }
  // Runs across row ends, which Pillow refuses; raw packets across row ends; 16-bit pixels.
  files.push_back({"run_across_rows.tga", Concat({TgaHeader(10, 24, 5, 3), {0x82, 1, 2, 3, 0xFF, 40, 50, 60}}), false,
                   true});
  files.push_back({"raw_across_rows.tga",
                   Concat({TgaHeader(10, 24, 2, 3), {4, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0x80, 16, 17, 18}}),
                   true, true});
  files.push_back({"rgb16.tga", Concat({TgaHeader(2, 16, 3, 1), {0xFF, 0x7F, 0x21, 0x04, 0x10, 0x42}}), true, true, false, 0xF8});
  // One plane of 2 bits a pixel, which Pillow does not read.
  bytes pcx(128, 0);
  for (int i = 0; i < 48; ++i) pcx[16 + i] = uint8_t(i * 37 + 11);
  pcx[0] = 10, pcx[1] = 5, pcx[2] = 1, pcx[3] = 2, pcx[8] = 6, pcx[10] = 1, pcx[65] = 1, pcx[66] = 2;
  files.push_back({"two_bits.pcx", Concat({pcx, {0x1B, 0x6C, 0x39, 0x00}}), false, true});

  std::string arguments = "read";
  for (const file& f : files) {
    WriteFile(folder / f.name, f.data);
    arguments += " " + (folder / f.name).string();
  }
  ASSERT_TRUE(RunScript(arguments));
  for (const file& f : files) {
    SCOPED_TRACE(f.name);
    for (const auto& [tool, wanted] : {std::pair{".im.rgba", f.magick}, std::pair{".pil.rgba", f.pillow}}) {
      if (!wanted) continue;
      const bytes seen = ReadFile(folder / (f.name + tool));
      ASSERT_FALSE(seen.empty()) << tool << " refuses it";
      ExpectSamePixels(folder / f.name, seen, f.mask, f.alpha && f.name.find("_32") != std::string::npos);
    }
  }
}

}  // namespace
