#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "document_fixture.h"

namespace {

class target_saving : public document_test {
 protected:
  void SetUp() override {
    document_test::SetUp();
    source_count = 2;
    FillTarget(9, 7);
  }
  // Three gradients, one a channel, each running its own way, so that a swap of channels,
  // rows or columns shows; JPEG keeps gradients well. Saving must ignore the fourth byte.
  static void FillTarget(int w, int h) {
    target_width = w, target_height = h;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        target_pixels[y * w + x] = {uint8_t(x * 255 / w), uint8_t(y * 255 / h), uint8_t((w - x + y) * 255 / (w + h)),
                                    uint8_t(x ^ y)};
  }
  void SaveAs(const std::string& name, int filter_index) {
    ui.save_answer = true;
    ui.save_reply = {"", "", filter_index, Path(name), name};
    doc.OnFileSaveAs();
  }
  int DifferenceFromTarget(const std::string& path) {
    CvorbelDoc reader;
    EXPECT_TRUE(reader.LoadSourceImage(path, 1)) << path;
    return WorstDifference(reader.source_image[0], target_width, target_height, [](int x, int y) {
      const bgra p = target_pixels[y * target_width + x];
      return uint32_t(p.red) << 16 | uint32_t(p.green) << 8 | p.blue;
    });
  }
  std::set<std::string> FolderContents() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) names.insert(entry.path().filename());
    return names;
  }
};

}  // namespace

TEST_F(target_saving, ASaveClearsWhatKilledSavesOfItsNameLeftAndNothingElse) {
  // A process that has ended: its staged files are leftovers.
  const pid_t ended = fork();
  if (ended == 0) _exit(0);
  ASSERT_GT(ended, 0);
  waitpid(ended, nullptr, 0);
  const std::string dead = std::to_string(ended);
  const std::set<std::string> leftovers = {".out.png." + dead + "-0.part", ".out.png." + dead + "-42.part"};
  // Files of saves that may still run, of other names, or only like a staged file.
  const std::set<std::string> others = {".out.png." + std::to_string(getppid()) + "-0.part",
                                        ".out.png." + std::to_string(getpid()) + "-7.part",
                                        ".other.png." + dead + "-0.part",
                                        ".out.png." + dead + "-0.part~",
                                        ".out.png.0" + dead + "-0.part",
                                        ".out.png." + dead + "-100.part",
                                        ".out.png." + dead + "-03.part",
                                        ".out.png." + dead + ".part",
                                        "out.png." + dead + "-0.part"};
  for (const std::set<std::string>* names : {&leftovers, &others})
    for (const std::string& name : *names) std::ofstream(Path(name)) << "partial";
  std::filesystem::create_directory(Path(".out.png." + dead + "-1.part"));

  doc.SaveTarget(Path("out.png"), "png");
  std::set<std::string> expected = others;
  expected.insert({"out.png", ".out.png." + dead + "-1.part"});
  EXPECT_EQ(FolderContents(), expected);
  EXPECT_EQ(DifferenceFromTarget(Path("out.png")), 0);
}

TEST_F(target_saving, ASaveThroughALinkWritesTheFileItNamesEvenWhenThatIsNotThereYet) {
  std::filesystem::create_directory(Path("real"));
  std::filesystem::create_symlink("real/kept.png", Path("link.png"));
  std::filesystem::create_symlink("link.png", Path("chain.png"));
  doc.SaveTarget(Path("chain.png"), "png");
  EXPECT_TRUE(std::filesystem::is_symlink(Path("chain.png")));
  EXPECT_TRUE(std::filesystem::is_symlink(Path("link.png")));
  EXPECT_EQ(DifferenceFromTarget(Path("real/kept.png")), 0);
}

TEST_F(target_saving, RoundTripsAtOddWidths) {
  for (const vsize size : {vsize{37, 19}, vsize{1, 1}, vsize{6, 3}, vsize{2047, 41}}) {
    FillTarget(size.width, size.height);
    for (const std::string ext : {"bmp", "png", "tif", "tga", "pcx", "jpg"}) {
      if (ext == "jpg" && size.height < 8) continue;  // steep gradients in a few pixels blur too much
      SCOPED_TRACE(ext + " at width " + std::to_string(size.width));
      doc.SaveTarget(Path("out." + ext), ext);
      EXPECT_LE(DifferenceFromTarget(Path("out." + ext)), ext == "jpg" ? 16 : 0);
    }
  }
  EXPECT_TRUE(ui.messages.empty());
}

// Every header field of a saved target, read straight from the file's bytes: a reader
// that ignores a field would not notice it wrong.
TEST_F(target_saving, SavedPcxAndTgaHeadersHoldEveryField) {
  const auto u16 = [](const std::string& b, size_t at) { return uint8_t(b[at]) | uint8_t(b[at + 1]) << 8; };
  const auto zeros = [](const std::string& b, size_t from, size_t to) {
    return b.find_first_not_of('\0', from) >= to;
  };
  doc.SaveTarget(Path("out.pcx"), "pcx");
  const std::string pcx = ReadAll(Path("out.pcx"));
  ASSERT_GE(pcx.size(), 128u);
  EXPECT_EQ(pcx[0], 10);  // manufacturer
  EXPECT_EQ(pcx[1], 5);   // version
  EXPECT_EQ(pcx[2], 1);   // run-length encoding
  EXPECT_EQ(pcx[3], 8);   // bits per pixel per plane
  EXPECT_EQ(u16(pcx, 4), 0);
  EXPECT_EQ(u16(pcx, 6), 0);
  EXPECT_EQ(u16(pcx, 8), 8);   // x max: width - 1
  EXPECT_EQ(u16(pcx, 10), 6);  // y max: height - 1
  EXPECT_EQ(u16(pcx, 12), 96);
  EXPECT_EQ(u16(pcx, 14), 96);
  EXPECT_TRUE(zeros(pcx, 16, 65));  // colour map and reserved byte
  EXPECT_EQ(pcx[65], 3);            // planes
  EXPECT_EQ(u16(pcx, 66), 10);      // bytes per plane line: 9, made even
  EXPECT_EQ(u16(pcx, 68), 1);       // no palette
  EXPECT_TRUE(zeros(pcx, 70, 128));

  doc.SaveTarget(Path("out.tga"), "tga");
  const std::string tga = ReadAll(Path("out.tga"));
  ASSERT_EQ(tga.size(), 18u + 9 * 7 * 3);
  EXPECT_EQ(tga[0], 0);         // no image ID
  EXPECT_EQ(tga[1], 0);         // no colour map
  EXPECT_EQ(tga[2], 2);         // uncompressed true colour
  EXPECT_EQ(u16(tga, 3), 0);    // colour-map first index
  EXPECT_EQ(u16(tga, 5), 0);    // colour-map length
  EXPECT_EQ(tga[7], 0);         // colour-map entry size
  EXPECT_EQ(u16(tga, 8), 0);    // x origin
  EXPECT_EQ(u16(tga, 10), 0);   // y origin
  EXPECT_EQ(u16(tga, 12), 9);   // width
  EXPECT_EQ(u16(tga, 14), 7);   // height
  EXPECT_EQ(tga[16], 24);       // pixel depth
  EXPECT_EQ(tga[17], 0);        // rows bottom to top, left to right
  // The first row stored is the target's bottom row, blue, green, red.
  const bgra first = target_pixels[6 * 9];
  EXPECT_EQ(tga.substr(18, 3), std::string({char(first.blue), char(first.green), char(first.red)}));
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(target_saving, SaveAsAppendsTheFilterExtensionUnlessOneOfTheSixIsTyped) {
  the_settings().WriteString("Configure", "Last Save Directory", "/somewhere/");
  the_settings().WriteInt("Configure", "Last Save Extension", 4);
  doc.OnFileSaveAs();  // cancelled: nothing saved or stored
  EXPECT_EQ(ui.save_asked.initial_folder, "/somewhere/");
  EXPECT_EQ(ui.save_asked.filter_index, 4);
  EXPECT_EQ(ui.save_asked.filter,
            "Bitmap Files (*.bmp)|*.bmp|Jpeg Files (*.jpg)|*.jpg|Png Files (*.png)|*.png|"
            "Tif Files (*.tif)|*.tif|Tga Files (*.tga)|*.tga|Pcx Files (*.pcx)|*.pcx||");
  EXPECT_TRUE(FolderContents().empty());

  SaveAs("picture", 3);
  EXPECT_EQ(ReadAll(Path("picture.png")).substr(1, 3), "PNG");
  EXPECT_EQ(the_settings().GetString("Configure", "Last Save Directory", ""), dir + "/");
  EXPECT_EQ(the_settings().GetInt("Configure", "Last Save Extension", 0), 3);
  SaveAs("picture.BMP", 3);
  EXPECT_EQ(ReadAll(Path("picture.BMP")).substr(0, 2), "BM");
  SaveAs("photo.jpeg", 2);
  EXPECT_EQ(FolderContents(), (std::set<std::string>{"photo.jpeg.jpg", "picture.BMP", "picture.png"}));

  // An appended name that exists is asked about.
  WriteAll(Path("picture.tga"), "keep me");
  SaveAs("picture", 5);
  EXPECT_EQ(ui.questions, std::vector<std::string>{"picture.tga already exists.\nDo you want to replace it?"});
  EXPECT_EQ(ReadAll(Path("picture.tga")), "keep me");
  ui.yes_answer = true;
  doc.OnFileSaveAs();
  EXPECT_EQ(DifferenceFromTarget(Path("picture.tga")), 0);
}

TEST_F(target_saving, Refusals) {
  source_count = 1;
  SaveAs("picture.png", 3);
  EXPECT_EQ(ui.save_dialogs, 0);
  EXPECT_EQ(ui.messages, (message_list{{"There must be two source images present before anything can be saved.",
                                        message_icon::error}}));
  ui.messages.clear();
  wic_ready = false;  // only the formats of the imaging layer need it
  doc.SaveTarget(Path("a.png"), "png");
  doc.SaveTarget(Path("a.pcx"), "pcx");
  EXPECT_EQ(ui.messages.at(0).first, "Windows Imaging Component WIC is not enabled, cannot continue.");
  EXPECT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(FolderContents(), std::set<std::string>{"a.pcx"});
}

TEST_F(target_saving, FailedWritesSaySoAndHarmNothing) {
  for (const char* ext : {"bmp", "jpg", "png", "tif", "tga", "pcx"}) {
    ui.messages.clear();
    doc.SaveTarget("/dev/full", ext);
    EXPECT_EQ(ui.messages, (message_list{{"Failed the file save!", message_icon::none}})) << ext;
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
  EXPECT_EQ(FolderContents(), (std::set<std::string>{"old.png", "plain"}));

  // Replacing keeps the file's permissions.
  FillTarget(9, 7);
  doc.SaveTarget(Path("old.png"), "png");
  EXPECT_EQ(std::filesystem::status(Path("old.png")).permissions(), std::filesystem::perms(0640));
  EXPECT_EQ(DifferenceFromTarget(Path("old.png")), 0);
}
