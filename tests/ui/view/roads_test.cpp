#include <cstdio>
#include <set>

#include "engine/base/process_state.h"
#include "sources/text_entry_rules.h"
#include "tests/ui/pane_fixture.h"
#include "ui/commands/command_ids.h"

namespace {

// Roads through the whole program, checked by what the user gets: the target's
// pixels and the files written, read back by ImageMagick.
class Roads : public pane_fixture {
 protected:
  // Two sources whose colours vary across the image, so that every method has
  // something to work on.
  std::string RampImage(const std::string& name, int w, int h, bool across) {
    wxImage image(w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const unsigned char v = (unsigned char)((across ? x * 255 / (w - 1) : y * 255 / (h - 1)));
        image.SetRGB(x, y, v, (unsigned char)(255 - v), (unsigned char)((x + y) % 256));
      }
    const std::string path = (folder / name).string();
    EXPECT_TRUE(image.SaveFile(path, wxBITMAP_TYPE_PNG));
    return path;
  }
  // Runs a command line and returns what it printed.
  static std::string Output(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
      char buffer[4096];
      for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
      ::pclose(pipe);
    }
    return out;
  }
  static bgra TargetAt(int x, int y) { return target_pixels[size_t(y) * target_width + x]; }
};

TEST_F(Roads, FilesEveryMethodAndSavingInSixFormatsReadBackByImageMagick) {
  Start({RampImage("across.png", 160, 120, true), RampImage("down.png", 120, 90, false)});
  ASSERT_EQ(source_count, 2);
  pane = the_properties_pane;
  // Every method recombines the target.
  std::set<std::vector<uint8_t>> pictures;
  const int methods = int(prop_method->GetChoices().GetCount());
  EXPECT_EQ(methods, 17);
  for (int m = 0; m < methods; ++m) {
    Pick(prop_method, long(m));
    std::vector<uint8_t> picture;
    for (int y = 0; y < target_height; y += 37)
      for (int x = 0; x < target_width; x += 41) {
        const bgra p = TargetAt(x, y);
        picture.insert(picture.end(), {p.blue, p.green, p.red});
      }
    pictures.insert(picture);
  }
  // On these ramps a few methods agree with one another; most give their own picture.
  EXPECT_GE(pictures.size(), 10u);
  Pick(prop_method, 2L);

  const char* extensions[6] = {"bmp", "jpg", "png", "tif", "tga", "pcx"};
  for (int f = 1; f <= 6; ++f) {
    const std::string path = (folder / "saved").string() + "_" + extensions[f - 1];
    app.port->save_answer = [&](save_file_request& request) {
      request.filter_index = f;
      request.path = path;  // typed without an extension: the filter's is added
      request.name = "saved_" + std::string(extensions[f - 1]);
      return true;
    };
    Command(WxId(cmd_file_save_as));
    const std::string written = path + "." + extensions[f - 1];
    ASSERT_TRUE(std::filesystem::exists(written)) << written;
    EXPECT_EQ(Output("identify -format '%w %h' '" + written + "'"),
              std::to_string(target_width) + " " + std::to_string(target_height))
        << written;
    // Three sample pixels read back; JPEG may stray a little, the others not at all.
    const int tolerance = f == 2 ? 12 : 0;
    for (const auto& [x, y] : {std::pair{1, 1}, std::pair{target_width / 2, target_height / 3},
                               std::pair{target_width - 2, target_height - 2}}) {
      // A TGA's rows start at the bottom; ImageMagick keeps that order unless told.
      const std::string rgb = Output("convert '" + written + "' -auto-orient -crop 1x1+" + std::to_string(x) + "+" +
                                     std::to_string(y) + " -depth 8 rgb:-");
      ASSERT_EQ(rgb.size(), 3u) << written;
      const bgra p = TargetAt(x, y);
      EXPECT_NEAR(uint8_t(rgb[0]), p.red, tolerance) << written << " " << x << "," << y;
      EXPECT_NEAR(uint8_t(rgb[1]), p.green, tolerance) << written;
      EXPECT_NEAR(uint8_t(rgb[2]), p.blue, tolerance) << written;
    }
  }
  app.port->save_answer = nullptr;
  EXPECT_TRUE(Messages().empty());
}

TEST_F(Roads, ATextOverAFileIsSavedExactlyAsTheTargetShowsIt) {
  Start({PlainImage("green.png", 64, 48, 0, 180, 0)});
  app.port->text_answer = [](CvorbelDoc& document, int i, bool) {
    ApplyTextEntry(document, i, "Vorbel\nroads", false);
    return true;
  };
  Command(WxId(cmd_load_text));
  app.port->text_answer = nullptr;
  ASSERT_EQ(source_count, 2);
  EXPECT_EQ(app.Document()->source_kind[1], kind_text);

  const std::string path = (folder / "text.png").string();
  app.port->save_answer = [&](save_file_request& request) {
    request.filter_index = 3;
    request.path = path;
    request.name = "text.png";
    return true;
  };
  Command(WxId(cmd_file_save_as));
  app.port->save_answer = nullptr;
  const std::string rgb = Output("convert '" + path + "' -depth 8 rgb:-");
  ASSERT_EQ(rgb.size(), size_t(target_width) * target_height * 3);
  std::set<uint32_t> colours;
  size_t differing = 0;
  for (int y = 0; y < target_height; ++y)
    for (int x = 0; x < target_width; ++x) {
      const bgra p = TargetAt(x, y);
      const size_t at = (size_t(y) * target_width + x) * 3;
      differing += uint8_t(rgb[at]) != p.red || uint8_t(rgb[at + 1]) != p.green || uint8_t(rgb[at + 2]) != p.blue;
      colours.insert(uint32_t(p.red) << 16 | uint32_t(p.green) << 8 | p.blue);
    }
  EXPECT_EQ(differing, 0u);
  // The letters and their background both reach the picture over the green.
  EXPECT_GE(colours.size(), 2u);
}

}  // namespace
