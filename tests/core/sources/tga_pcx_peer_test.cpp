// Cross-checks with two independent readers and writers of TGA and PCX: ImageMagick and
// Pillow write files that we decode, and decode files that we write.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

#include "sources/raster.h"
#include "tests/core/sources/tga_pcx_test_support.h"

namespace fs = std::filesystem;

namespace {

const std::string script = std::string(VORBEL_SOURCE_DIR) + "/tests/core/sources/tga_pcx_peers.py";

bool ToolsPresent() {
  return fs::exists("/usr/bin/convert") &&
         std::system("/usr/bin/python3 -c 'import PIL' 2>/dev/null") == 0;
}

bytes ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& path, const bytes& data) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
}

uint32_t FormatOf(const fs::path& path) {
  return path.extension() == ".tga" ? raster_format_tga : raster_format_pcx;
}

struct comparison {
  bool five_bit = false;  // the tool expands 5-bit channels to 255 where we give 248
  bool alpha = false;
};

// Our decode of path against the RGBA pixels a tool reported for it.
void ExpectSamePixels(const fs::path& path, const bytes& tool, comparison how) {
  CRaster image(path.c_str(), FormatOf(path));
  ASSERT_TRUE(image.IsValid()) << path << ": " << image.GetErrorText();
  const bytes ours = RgbaTopDown(image);
  ASSERT_EQ(ours.size(), tool.size()) << path;
  int mismatches = 0;
  for (size_t i = 0; i < ours.size(); ++i) {
    if (i % 4 == 3 && !how.alpha) continue;
    const uint8_t expected = how.five_bit && i % 4 != 3 ? tool[i] & 0xF8 : tool[i];
    if (ours[i] != expected && ++mismatches <= 3)
      ADD_FAILURE() << path << " pixel " << i / 4 << " channel " << i % 4 << ": ours "
                    << int(ours[i]) << ", tool " << int(tool[i]);
  }
}

class TgaPcxPeers : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder = fs::temp_directory_path() / ("vorbel_peers_" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  static void TearDownTestSuite() { fs::remove_all(folder); }
  void SetUp() override {
    if (!ToolsPresent()) GTEST_SKIP() << "ImageMagick or Pillow is missing";
  }
  static bool RunScript(const std::string& arguments) {
    return std::system(("/usr/bin/python3 " + script + " " + arguments).c_str()) == 0;
  }
  static inline fs::path folder;
};

TEST_F(TgaPcxPeers, FilesTheToolsWriteDecodeToThePixelsTheyReport) {
  const fs::path written = folder / "written";
  ASSERT_TRUE(RunScript("write " + written.string()));
  std::ifstream manifest(written / "manifest.txt");
  int files = 0;
  for (std::string name; std::getline(manifest, name);) {
    if (name.empty()) continue;
    ++files;
    const fs::path path = written / name;
    const bytes tool = ReadFile(path.string() + ".rgba");
    ASSERT_FALSE(tool.empty()) << name << ": its writer does not read it back";
    comparison how;
    how.five_bit = name.find("rgb16") != std::string::npos;
    how.alpha = name.find("rgba32") != std::string::npos;
    ExpectSamePixels(path, tool, how);
  }
  // Both tools write TGA (raw and run-length, both row orders) and PCX.
  EXPECT_EQ(files, 43);
}

bytes TgaHeader(uint8_t type, uint8_t depth, uint16_t width, uint16_t height) {
  bytes h(18, 0);
  h[2] = type;
  h[12] = uint8_t(width);
  h[13] = uint8_t(width >> 8);
  h[14] = uint8_t(height);
  h[15] = uint8_t(height >> 8);
  h[16] = depth;
  return h;
}

bytes PcxFile(uint8_t bits, uint8_t planes, uint16_t width, uint16_t bytes_per_line,
              const bytes& lines) {
  bytes h(128, 0);
  h[0] = 10;
  h[1] = 5;
  h[2] = 1;
  h[3] = bits;
  h[8] = uint8_t(width - 1);
  h[10] = uint8_t(lines.size() / bytes_per_line / planes - 1);
  for (int i = 0; i < 48; ++i) h[16 + i] = uint8_t(i * 37 + 11);
  h[65] = planes;
  h[66] = uint8_t(bytes_per_line);
  return Concat({h, lines});
}

TEST_F(TgaPcxPeers, FilesWeWriteOrMakeDecodeAlikeInBothTools) {
  struct file {
    std::string name;
    bytes data;
    bool pillow;  // compared with Pillow's reading
    bool magick;  // compared with ImageMagick's reading
    comparison how;
  };
  std::vector<file> files;
  for (uint32_t bits : {1u, 4u, 8u, 24u}) {
    for (uint32_t format : {raster_format_tga, raster_format_pcx}) {
      if (format == raster_format_tga && bits < 8) continue;
      // Pillow reads a 16-colour PCX right only when its lines need no pad byte.
      const int32_t width = bits == 4 ? 47 : 37;
      CRaster image;
      ASSERT_TRUE(MakeImage(image, width, 13, bits, bits * 7 + format));
      if (bits == 1) {
        image.SetPaletteColor(0, 0, 0, 0);
        image.SetPaletteColor(1, 255, 255, 255);
      }
      const std::string name =
          "ours_" + std::to_string(bits) + (format == raster_format_tga ? ".tga" : ".pcx");
      // ImageMagick reads a 1-bit PCX with 0 as white.
      files.push_back({name, EncodeToBytes(image, format), true, bits != 1, {}});
    }
  }
  CRaster with_alpha;
  ASSERT_TRUE(MakeImage(with_alpha, 37, 13, 24, 77));
  ASSERT_TRUE(with_alpha.AlphaCreate());
  for (int32_t y = 0; y < 13; ++y)
    for (int32_t x = 0; x < 37; ++x) with_alpha.AlphaSet(x, y, uint8_t(x * y));
  // Pillow reads no PCX with four 8-bit planes.
  files.push_back({"ours_32.pcx", EncodeToBytes(with_alpha, raster_format_pcx), false, true,
                   {false, true}});
  files.push_back({"ours_32.tga", EncodeToBytes(with_alpha, raster_format_tga), true, true, {}});

  // Runs across row ends, which Pillow refuses; raw packets across row ends.
  files.push_back({"run_across_rows.tga",
                   Concat({TgaHeader(10, 24, 5, 3), {0x82, 1, 2, 3, 0xFF, 40, 50, 60}}), false, true, {}});
  files.push_back({"raw_across_rows.tga",
                   Concat({TgaHeader(10, 24, 2, 3), {0x04, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12,
                                                     13, 14, 15, 0x80, 16, 17, 18}}),
                   true, true, {}});
  files.push_back({"rgb16.tga",
                   Concat({TgaHeader(2, 16, 3, 1), {0xFF, 0x7F, 0x21, 0x04, 0x10, 0x42}}), true,
                   true, {true, false}});
  // One plane of 2 bits a pixel, which Pillow does not read.
  files.push_back({"two_bits.pcx", PcxFile(2, 1, 7, 2, {0x1B, 0x6C, 0x39, 0x00}), false, true, {}});

  std::string arguments = "read";
  for (const file& f : files) {
    WriteFile(folder / f.name, f.data);
    arguments += " " + (folder / f.name).string();
  }
  ASSERT_TRUE(RunScript(arguments));
  for (const file& f : files) {
    SCOPED_TRACE(f.name);
    const fs::path path = folder / f.name;
    const bytes magick = ReadFile(path.string() + ".im.rgba");
    if (f.magick) {
      ASSERT_FALSE(magick.empty()) << "ImageMagick refuses " << f.name;
      ExpectSamePixels(path, magick, f.how);
    }
    const bytes pillow = ReadFile(path.string() + ".pil.rgba");
    if (f.pillow) {
      ASSERT_FALSE(pillow.empty()) << "Pillow refuses " << f.name;
      ExpectSamePixels(path, pillow, f.how);
    }
  }
}

}  // namespace
