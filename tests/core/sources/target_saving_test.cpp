#include <sys/stat.h>

#include <filesystem>

#include "document_fixture.h"

namespace {

class target_saving : public document_test {
 protected:
  void SetUp() override {
    document_test::SetUp();
    source_count = 2;
  }
  // Answers the next save dialog with name in this test's folder and the filter.
  void Choose(const std::string& name, int filter_index) {
    ui.save_answer = true;
    ui.save_reply.path = Path(name);
    ui.save_reply.name = name;
    ui.save_reply.filter_index = filter_index;
  }
  // Loads path into source 1 of a second document and returns the largest channel
  // difference from the target.
  int DifferenceFromTarget(const std::string& path) {
    CvorbelDoc reader;
    EXPECT_TRUE(reader.LoadSourceImage(path, 1)) << path;
    const image_record& record = reader.source_image[0];
    if (record.Width() != target_width || record.Height() != target_height) return 256;
    int worst = 0;
    for (int y = 0; y < target_height; ++y)
      for (int x = 0; x < target_width; ++x) {
        const bgra got = PixelOf(record, x, y);
        const bgra want = target_pixels[y * target_width + x];
        worst = std::max({worst, std::abs(got.blue - want.blue),
                          std::abs(got.green - want.green), std::abs(got.red - want.red)});
        if (got.fourth != 255) return 256;
      }
    return worst;
  }
  std::vector<std::string> FolderContents() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
};

}  // namespace

TEST_F(target_saving, LosslessFormatsRoundTripExactlyAtOddWidths) {
  for (const vsize size : {vsize{37, 19}, vsize{1, 1}, vsize{6, 3}, vsize{2047, 3}}) {
    FillTarget(size.width, size.height);
    for (const char* ext : {"bmp", "png", "tif", "tga", "pcx"}) {
      SCOPED_TRACE(std::string(ext) + " at width " + std::to_string(size.width));
      const std::string path = Path(std::string("out.") + ext);
      doc.SaveTarget(path, ext);
      EXPECT_EQ(DifferenceFromTarget(path), 0);
    }
  }
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(target_saving, JpegRoundTripStaysClose) {
  for (const vsize size : {vsize{37, 29}, vsize{2047, 41}}) {
    FillTarget(size.width, size.height);
    doc.SaveTarget(Path("out.jpg"), "jpg");
    EXPECT_LE(DifferenceFromTarget(Path("out.jpg")), 16) << size.width;
  }
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(target_saving, SaveAsAppendsTheFilterExtensionAndRemembersTheFolder) {
  FillTarget(9, 7);
  settings.strings["Configure/Last Save Directory"] = "/somewhere/";
  settings.ints["Configure/Last Save Extension"] = 4;
  Choose("picture", 3);
  doc.OnFileSaveAs();
  EXPECT_EQ(ui.save_asked.initial_folder, "/somewhere/");
  EXPECT_EQ(ui.save_asked.filter_index, 4);
  EXPECT_EQ(ui.save_asked.filter,
            "Bitmap Files (*.bmp)|*.bmp|Jpeg Files (*.jpg)|*.jpg|Png Files (*.png)|*.png|"
            "Tif Files (*.tif)|*.tif|Tga Files (*.tga)|*.tga|Pcx Files (*.pcx)|*.pcx||");
  EXPECT_EQ(ReadAll(Path("picture.png")).substr(1, 3), "PNG");
  EXPECT_EQ(settings.strings["Configure/Last Save Directory"], dir + "/");
  EXPECT_EQ(settings.ints["Configure/Last Save Extension"], 3);
  EXPECT_TRUE(ui.questions.empty());
}

TEST_F(target_saving, ATypedExtensionOfTheSixWins) {
  FillTarget(9, 7);
  Choose("picture.BMP", 3);
  doc.OnFileSaveAs();
  EXPECT_EQ(ReadAll(Path("picture.BMP")).substr(0, 2), "BM");

  Choose("photo.jpeg", 2);
  doc.OnFileSaveAs();
  EXPECT_EQ(ReadAll(Path("photo.jpeg.jpg")).substr(0, 2), "\xFF\xD8");
  EXPECT_EQ(FolderContents(), (std::vector<std::string>{"photo.jpeg.jpg", "picture.BMP"}));
}

TEST_F(target_saving, AnAppendedNameThatExistsIsAskedAbout) {
  FillTarget(9, 7);
  WriteAll(Path("picture.tga"), "keep me");
  Choose("picture", 5);
  doc.OnFileSaveAs();
  ASSERT_EQ(ui.questions.size(), 1u);
  EXPECT_EQ(ui.questions[0], "picture.tga already exists.\nDo you want to replace it?");
  EXPECT_EQ(ReadAll(Path("picture.tga")), "keep me");

  ui.yes_answer = true;
  doc.OnFileSaveAs();
  EXPECT_EQ(DifferenceFromTarget(Path("picture.tga")), 0);
  EXPECT_EQ(FolderContents(), std::vector<std::string>{"picture.tga"});
}

TEST_F(target_saving, NoSaveWithFewerThanTwoSources) {
  source_count = 1;
  Choose("picture.png", 3);
  doc.OnFileSaveAs();
  EXPECT_EQ(ui.save_dialogs, 0);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].first,
            "There must be two source images present before anything can be saved.");
  EXPECT_EQ(ui.messages[0].second, message_icon::error);
  EXPECT_TRUE(FolderContents().empty());
}

TEST_F(target_saving, CancelledDialogSavesAndStoresNothing) {
  FillTarget(9, 7);
  doc.OnFileSaveAs();
  EXPECT_EQ(ui.save_dialogs, 1);
  EXPECT_TRUE(settings.ints.empty());
  EXPECT_TRUE(settings.strings.empty());
  EXPECT_TRUE(FolderContents().empty());
}

TEST_F(target_saving, ImagingFormatsNeedTheImagingLayer) {
  FillTarget(9, 7);
  wic_ready = false;
  doc.SaveTarget(Path("a.png"), "png");
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].first, "Windows Imaging Component WIC is not enabled, cannot continue.");
  doc.SaveTarget(Path("a.pcx"), "pcx");
  EXPECT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(FolderContents(), std::vector<std::string>{"a.pcx"});
}

TEST_F(target_saving, FailedWritesSaySoAndHarmNothing) {
  FillTarget(9, 7);
  for (const char* ext : {"bmp", "jpg", "png", "tif", "tga", "pcx"}) {
    SCOPED_TRACE(ext);
    ui.messages.clear();
    doc.SaveTarget("/dev/full", ext);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].first, "Failed the file save!");
    EXPECT_EQ(ui.messages[0].second, message_icon::none);
  }
  struct stat device {};
  ASSERT_EQ(stat("/dev/full", &device), 0);
  EXPECT_TRUE(S_ISCHR(device.st_mode));

  // A folder that cannot exist, because a file stands where it would be.
  WriteAll(Path("plain"), "x");
  ui.messages.clear();
  doc.SaveTarget(Path("plain/out.png"), "png");
  doc.SaveTarget(Path("plain/out.tga"), "tga");
  EXPECT_EQ(ui.messages.size(), 2u);

  // An encoder that fails leaves the file that was there and no scraps.
  WriteAll(Path("old.png"), "old contents");
  target_width = 0;
  ui.messages.clear();
  doc.SaveTarget(Path("old.png"), "png");
  doc.SaveTarget(Path("old.png"), "tga");
  EXPECT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ReadAll(Path("old.png")), "old contents");
  EXPECT_EQ(FolderContents(), (std::vector<std::string>{"old.png", "plain"}));
}

TEST_F(target_saving, ReplacingKeepsTheFilesPermissions) {
  FillTarget(9, 7);
  WriteAll(Path("shared.png"), "old");
  std::filesystem::permissions(Path("shared.png"), std::filesystem::perms(0640));
  doc.SaveTarget(Path("shared.png"), "png");
  EXPECT_EQ(std::filesystem::status(Path("shared.png")).permissions(),
            std::filesystem::perms(0640));
  EXPECT_EQ(DifferenceFromTarget(Path("shared.png")), 0);
}
