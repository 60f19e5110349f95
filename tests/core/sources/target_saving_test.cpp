#include <algorithm>
#include <filesystem>

#include "document_fixture.h"

namespace {

class target_saving : public document_test {
 protected:
  void SetUp() override {
    document_test::SetUp();
    source_count = 2;
  }
  // A w x h target of three gradients, one a channel, each running its own way, so that a
  // swap of channels, rows or columns shows; JPEG keeps gradients well. The fourth byte is
  // noise that saving must ignore.
  static void FillTarget(int w, int h) {
    target_width = w;
    target_height = h;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        target_pixels[y * w + x] = {uint8_t(x * 255 / w), uint8_t(y * 255 / h), uint8_t((w - x + y) * 255 / (w + h)),
                                    uint8_t(x ^ y)};
  }
  // Answers the next save dialog with name in this test's folder and the filter.
  void Choose(const std::string& name, int filter_index) {
    ui.save_answer = true;
    ui.save_reply.path = Path(name);
    ui.save_reply.name = name;
    ui.save_reply.filter_index = filter_index;
  }
  // Largest channel difference of the file at path from the target.
  int DifferenceFromTarget(const std::string& path) {
    CvorbelDoc reader;
    EXPECT_TRUE(reader.LoadSourceImage(path, 1)) << path;
    return WorstDifference(reader.source_image[0], target_width, target_height, [](int x, int y) {
      const bgra p = target_pixels[y * target_width + x];
      return uint32_t(p.red) << 16 | uint32_t(p.green) << 8 | p.blue;
    });
  }
  std::vector<std::string> FolderContents() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }
};

}  // namespace

TEST_F(target_saving, RoundTripsAtOddWidths) {
  for (const vsize size : {vsize{37, 19}, vsize{1, 1}, vsize{6, 3}, vsize{2047, 41}}) {
    FillTarget(size.width, size.height);
    for (const char* ext : {"bmp", "png", "tif", "tga", "pcx", "jpg"}) {
      if (ext[0] == 'j' && size.height < 8) continue;  // steep gradients in a few pixels blur too much
      SCOPED_TRACE(std::string(ext) + " at width " + std::to_string(size.width));
      const std::string path = Path(std::string("out.") + ext);
      doc.SaveTarget(path, ext);
      EXPECT_LE(DifferenceFromTarget(path), std::string(ext) == "jpg" ? 16 : 0);
    }
  }
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(target_saving, SaveAsAppendsTheFilterExtensionUnlessOneOfTheSixIsTyped) {
  FillTarget(9, 7);
  the_settings().WriteString("Configure", "Last Save Directory", "/somewhere/");
  the_settings().WriteInt("Configure", "Last Save Extension", 4);
  doc.OnFileSaveAs();  // cancelled: nothing saved or stored
  EXPECT_EQ(ui.save_asked.initial_folder, "/somewhere/");
  EXPECT_EQ(ui.save_asked.filter_index, 4);
  EXPECT_EQ(ui.save_asked.filter,
            "Bitmap Files (*.bmp)|*.bmp|Jpeg Files (*.jpg)|*.jpg|Png Files (*.png)|*.png|"
            "Tif Files (*.tif)|*.tif|Tga Files (*.tga)|*.tga|Pcx Files (*.pcx)|*.pcx||");
  EXPECT_EQ(the_settings().GetInt("Configure", "Last Save Extension", 0), 4);
  EXPECT_TRUE(FolderContents().empty());

  Choose("picture", 3);
  doc.OnFileSaveAs();
  EXPECT_EQ(ReadAll(Path("picture.png")).substr(1, 3), "PNG");
  EXPECT_EQ(the_settings().GetString("Configure", "Last Save Directory", ""), dir + "/");
  EXPECT_EQ(the_settings().GetInt("Configure", "Last Save Extension", 0), 3);
  Choose("picture.BMP", 3);
  doc.OnFileSaveAs();
  EXPECT_EQ(ReadAll(Path("picture.BMP")).substr(0, 2), "BM");
  Choose("photo.jpeg", 2);
  doc.OnFileSaveAs();
  EXPECT_EQ(ReadAll(Path("photo.jpeg.jpg")).substr(0, 2), "\xFF\xD8");
  EXPECT_EQ(FolderContents(), (std::vector<std::string>{"photo.jpeg.jpg", "picture.BMP", "picture.png"}));
  EXPECT_TRUE(ui.questions.empty());
}

TEST_F(target_saving, AnAppendedNameThatExistsIsAskedAbout) {
  FillTarget(9, 7);
  WriteAll(Path("picture.tga"), "keep me");
  Choose("picture", 5);
  doc.OnFileSaveAs();
  EXPECT_EQ(ui.questions, std::vector<std::string>{"picture.tga already exists.\nDo you want to replace it?"});
  EXPECT_EQ(ReadAll(Path("picture.tga")), "keep me");
  ui.yes_answer = true;
  doc.OnFileSaveAs();
  EXPECT_EQ(DifferenceFromTarget(Path("picture.tga")), 0);
  EXPECT_EQ(FolderContents(), std::vector<std::string>{"picture.tga"});
}

TEST_F(target_saving, Refusals) {
  FillTarget(9, 7);
  source_count = 1;
  Choose("picture.png", 3);
  doc.OnFileSaveAs();
  EXPECT_EQ(ui.save_dialogs, 0);
  EXPECT_EQ(ui.messages, (std::vector<std::pair<std::string, message_icon>>{
                             {"There must be two source images present before anything can be saved.",
                              message_icon::error}}));
  ui.messages.clear();
  wic_ready = false;  // only the formats of the imaging layer need it
  doc.SaveTarget(Path("a.png"), "png");
  doc.SaveTarget(Path("a.pcx"), "pcx");
  EXPECT_EQ(ui.messages, (std::vector<std::pair<std::string, message_icon>>{
                             {"Windows Imaging Component WIC is not enabled, cannot continue.", message_icon::error}}));
  EXPECT_EQ(FolderContents(), std::vector<std::string>{"a.pcx"});
}

TEST_F(target_saving, FailedWritesSaySoAndHarmNothing) {
  FillTarget(9, 7);
  const std::pair<std::string, message_icon> failed{"Failed the file save!", message_icon::none};
  for (const char* ext : {"bmp", "jpg", "png", "tif", "tga", "pcx"}) {
    ui.messages.clear();
    doc.SaveTarget("/dev/full", ext);
    EXPECT_EQ(ui.messages, std::vector{failed}) << ext;
  }
  EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));  // not renamed over

  // A folder that cannot exist, because a file stands where it would be; an encoder that
  // fails leaves the file that was there and no scraps.
  WriteAll(Path("plain"), "x");
  WriteAll(Path("old.png"), "old contents");
  std::filesystem::permissions(Path("old.png"), std::filesystem::perms(0640));
  ui.messages.clear();
  doc.SaveTarget(Path("plain/out.png"), "png");
  doc.SaveTarget(Path("plain/out.tga"), "tga");
  target_width = 0;
  doc.SaveTarget(Path("old.png"), "png");
  doc.SaveTarget(Path("old.png"), "tga");
  EXPECT_EQ(ui.messages.size(), 4u);
  EXPECT_EQ(ReadAll(Path("old.png")), "old contents");
  EXPECT_EQ(FolderContents(), (std::vector<std::string>{"old.png", "plain"}));

  // Replacing keeps the file's permissions.
  FillTarget(9, 7);
  doc.SaveTarget(Path("old.png"), "png");
  EXPECT_EQ(std::filesystem::status(Path("old.png")).permissions(), std::filesystem::perms(0640));
  EXPECT_EQ(DifferenceFromTarget(Path("old.png")), 0);
}
