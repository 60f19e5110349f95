#include <algorithm>
#include <functional>
#include <iterator>

#include <wx/filehistory.h>
#include <wx/aui/aui.h>

#include "sources/document.h"
#include "platform/settings_file.h"
#include "tests/ui/app_fixture.h"
#include "ui/adapters/settings_wx.h"
#include "ui/adapters/status_bar.h"
#include "ui/app/app_look.h"
#include "ui/app/main_frame.h"
#include "ui/dialogs/replace_source.h"
#include "ui/view/view.h"

namespace {

using App = app_fixture;

TEST_F(App, TwoImagesOnTheCommandLineAreShownAveraged) {
  // Both 4 : 3 like the canvas, so each covers the whole target. A third name is ignored.
  const std::string second = PlainImage("second.png", 160, 120, 20, 100, 250);
  Start({PlainImage("first.png", 64, 48, 200, 40, 10), second, PlainImage("third.png", 8, 8, 0, 255, 0)});
  ASSERT_TRUE(Messages().empty());
  ASSERT_EQ(source_count, 2);
  EXPECT_EQ(app.Document()->file_name[1], second);
  ASSERT_EQ(target_width * target_height, 1024 * 768);
  // "Average" at its starting weight: (c1 (256 - 127) + c2 127) >> 8.
  auto average = [](int c1, int c2) { return (c1 * 129 + c2 * 127) >> 8; };
  const wxColour expected(average(200, 20), average(40, 100), average(10, 250));
  EXPECT_EQ(std::count_if(target_pixels, target_pixels + 1024 * 768,
                          [&](const bgra& p) { return wxColour(p.red, p.green, p.blue) != expected; }),
            0);

  CvorbelView* view = app.Frame()->View();
  const float scale = view->display_scale;
  const int left = view->target_rect.left, top = view->target_rect.top;
  const wxImage shown = ScreenOf(view);
  ASSERT_GT(shown.GetWidth(), left + int(1024 * scale));
  ASSERT_GT(shown.GetHeight(), top + int(768 * scale));
  for (double fx : {0.02, 0.5, 0.98})
    for (double fy : {0.02, 0.5, 0.98})
      EXPECT_EQ(ColourAt(shown, left + int(fx * 1024 * scale), top + int(fy * 768 * scale)), expected)
          << fx << "," << fy;
  EXPECT_NE(ColourAt(shown, 2, 2), expected);  // the background outside the target

  // Hovering over the "source 1" pane shows it alone; the target keeps the average.
  MoveOverBar(Pane(1).x + 10, Pane(1).y + 2);
  EXPECT_EQ(ColourAt(ScreenOf(view), left + 20, top + 20), wxColour(200, 40, 10));
  EXPECT_EQ(target_pixels[0].red, expected.Red());
}

TEST_F(App, WithoutTheImagingLayerOneMessageAndTheLoadsAreGrey) {
  app.imaging_works = false;
  Start();
  EXPECT_EQ(Messages(), (message_list{{"Failed to create WICImaging Factory.", message_icon::error}}));
  EXPECT_FALSE(wic_ready);
  EXPECT_FALSE(Enabled(cmd_file_open));
  EXPECT_TRUE(app.Frame()->IsShown());
  Stop();
  app.imaging_works = true;
  Start();
  EXPECT_TRUE(Messages().empty());
  EXPECT_TRUE(Enabled(cmd_file_open));
  wxUpdateUIEvent batch(WxId(cmd_batch));
  for (int count : {1, 2}) {
    source_count = count;
    CvorbelApp::OnUpdateBatchVorbel(batch);
    EXPECT_EQ(batch.GetEnabled(), count == 2);
  }
  source_count = 0;
}

TEST_F(App, HandEditedSettingsAreClampedAndGarbageReadsAsEmpty) {
  WriteFile("vorbel.conf",
            "ApplicationLook=99999\n[Configure]\nViewing Scale=-7\n"
            "Last Open Extension=123456789012345678901234\nLast Open Directory=/nowhere/\n");
  Start();
  EXPECT_EQ(app.app_look, last_look_id);
  EXPECT_EQ(CvorbelApp::viewing_scale, 55);
  EXPECT_TRUE(app.AskImageFileName().empty());
  ASSERT_EQ(app.dialog_questions.size(), 1u);
  EXPECT_EQ(app.dialog_questions[0].filter_index, open_image_filter_count);
  EXPECT_EQ(app.dialog_questions[0].initial_folder, "/nowhere/");
  Stop();
  WriteFile("vorbel.conf", "ApplicationLook=-3\n[Configure]\nViewing Scale=not a number\n");
  Start();
  EXPECT_EQ(app.app_look, first_look_id);
  EXPECT_EQ(CvorbelApp::viewing_scale, 100);
  Stop();
  WriteFile("vorbel.conf", std::string("\x01\xff[[[\n=\n[Configure\nViewing Scale\n\0\0", 30));
  Start();
  EXPECT_EQ(app.app_look, default_look_id);
  EXPECT_TRUE(app.Frame()->IsShown());
}

TEST_F(App, StoredLookAndViewScaleStartAtTheirDefaultsAndKeepToTheirRanges) {
  Start();  // no settings file yet
  EXPECT_EQ(app.app_look, 215);
  EXPECT_EQ(CvorbelApp::viewing_scale, 100);
  CvorbelApp::viewing_scale = 130;
  Stop();
  {
    wx_settings_store stored((folder / "vorbel.conf").string());
    EXPECT_EQ(stored.GetInt("Configure", "Viewing Scale", -1), 130);
    EXPECT_EQ(stored.GetInt("", "ApplicationLook", -1), 215);
  }
  // Keys are written as named, whatever case the store would forgive on reading.
  std::ifstream file(folder / "vorbel.conf");
  const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("ApplicationLook=215\n"), std::string::npos) << text;
  EXPECT_NE(text.find("[Configure]\nViewing\\ Scale=130\n"), std::string::npos) << text;

  const std::tuple<const char*, int, const char*, int> cases[] = {
      {"210", 210, "55", 55},  {"218", 218, "205", 205}, {"209", 210, "54", 55},
      {"219", 218, "206", 205}, {"212", 212, "131", 131}};
  for (const auto& [look, look_read, scale, scale_read] : cases) {
    WriteFile("vorbel.conf", std::string("ApplicationLook=") + look + "\n[Configure]\nViewing Scale=" + scale + "\n");
    Start();
    EXPECT_EQ(app.app_look, look_read) << look;
    EXPECT_EQ(CvorbelApp::viewing_scale, scale_read) << scale;
    Stop();
  }
  // The filter index keeps within the seven filters of the open dialog.
  WriteFile("vorbel.conf", "[Configure]\nLast Open Extension=8\n");
  Start();
  app.AskImageFileName();
  ASSERT_EQ(app.dialog_questions.size(), 1u);
  EXPECT_EQ(app.dialog_questions[0].filter_index, 7);
}

std::string FileText(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

TEST_F(App, StoredNumbersThatAreNotPlainDecimalsReadAsTheirDefaults) {
  for (const char* text : {"nan", "inf", "-inf", "0x7fffffff", "1e9", "12px"}) {
    WriteFile("vorbel.conf", std::string("ApplicationLook=") + text + "\n[Configure]\nViewing Scale=" + text +
                                 "\ncanvas_width=" + text + "\n");
    Start();
    EXPECT_EQ(app.app_look, 215) << text;
    EXPECT_EQ(CvorbelApp::viewing_scale, 100) << text;
    EXPECT_EQ(the_settings().GetClampedInt("Configure", "canvas_width", 1024, 32, max_target_width), 1024) << text;
    Stop();
  }
  WriteFile("vorbel.conf", "[Configure]\nViewing Scale=+131\n");
  Start();
  EXPECT_EQ(CvorbelApp::viewing_scale, 131);
}

// An ordinary file, with a full recent-file list, and one a byte under the cap are read.
TEST_F(App, SettingsFilesUpToOneMegabyteLessOneByteAreRead) {
  std::string ordinary = "ApplicationLook=212\n[Configure]\nViewing Scale=130\nLast Open Directory=/home/someone/"
                         "Pictures/\nLast Open Extension=2\ncanvas_width=640\ncanvas_height=480\n"
                         "[Recent File List]\n";
  std::vector<std::string> recent;
  for (int i = 1; i <= 16; ++i) {
    recent.push_back("/home/someone/Pictures/holidays/2023 summer by the sea/picture_" + std::to_string(100 + i) +
                     ".jpg");
    ordinary += "file" + std::to_string(i) + "=" + recent.back() + "\n";
  }
  ASSERT_GT(ordinary.size(), 1300u);
  ASSERT_LT(ordinary.size(), 1500u);
  WriteFile("vorbel.conf", ordinary);
  testing::internal::CaptureStderr();
  Start();
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(said.find("vorbel: "), std::string::npos) << said;
  EXPECT_EQ(app.app_look, 212);
  EXPECT_EQ(CvorbelApp::viewing_scale, 130);
  EXPECT_EQ(the_settings().GetClampedInt("Configure", "canvas_width", 1024, 32, max_target_width), 640);
  ASSERT_EQ(app.RecentFiles().GetCount(), 16u);
  for (size_t i = 0; i < 16; ++i) EXPECT_EQ(app.RecentFiles().GetHistoryFile(i).utf8_string(), recent[i]) << i;
  Stop();

  // Filled up with comment lines to 1,048,575 bytes, the settings at the file's end.
  std::string full(1024 * 1024 - 1, '\n');
  const std::string settings = "[Configure]\nViewing Scale=140\n";
  for (size_t at = 0; at + 100 <= full.size() - settings.size(); at += 100)
    full.replace(at, 99, "#" + std::string(98, '-'));
  full.replace(full.size() - settings.size(), settings.size(), settings);
  ASSERT_EQ(full.size(), 1048575u);
  WriteFile("vorbel.conf", full);
  testing::internal::CaptureStderr();
  Start();
  const std::string said_then = testing::internal::GetCapturedStderr();
  EXPECT_EQ(said_then.find("vorbel: "), std::string::npos) << said_then;
  EXPECT_EQ(CvorbelApp::viewing_scale, 140);
}

TEST_F(App, ASettingsFileOverOneMegabyteIsNeitherReadNorWrittenOver) {
  std::string junk = "[Configure]\nViewing Scale=130\n";
  while (junk.size() <= 1024 * 1024) junk += "junk that is no setting\n";
  WriteFile("vorbel.conf", junk);
  testing::internal::CaptureStderr();
  Start();
  EXPECT_EQ(CvorbelApp::viewing_scale, 100);
  EXPECT_TRUE(Messages().empty());
  the_settings().WriteInt("Configure", "canvas_width", 640);
  Stop();
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("is larger than 1 MB"), std::string::npos) << said;
  EXPECT_TRUE(FileText(folder / "vorbel.conf") == junk);
}

// The program's own write never takes the file past what the next start reads: the
// lines it does not use go first, and when its own settings alone are too large the
// write is given up.
TEST_F(App, AWriteThatWouldPassOneMegabyteKeepsTheProgramsOwnSettingsAlone) {
  const std::string old_image = (folder / "old.png").string();
  std::string text = "ApplicationLook=212\n[Configure]\nViewing Scale=130\ncanvas_width=640\n"
                     "Last Save Directory=/saved/here/\n[Recent File List]\nfile1=" + old_image +
                     "\n[Another Program]\nits key=its value\n";
  while (text.size() < max_settings_file_bytes - 40) text += "junk that is no setting\n";
  WriteFile("vorbel.conf", text);
  const std::string image = PlainImage("new.png", 8, 6, 1, 2, 3);
  testing::internal::CaptureStderr();
  Start({image});  // its recent-file entry is written at once
  Stop();
  std::string said = testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("would grow past 1 MB: what this program does not use is left out"), std::string::npos)
      << said;
  const std::string written = FileText(folder / "vorbel.conf");
  EXPECT_LE(written.size(), max_settings_file_bytes);
  EXPECT_EQ(written.find("junk"), std::string::npos);
  EXPECT_EQ(written.find("its key"), std::string::npos);
  Start();
  EXPECT_EQ(app.app_look, 212);
  EXPECT_EQ(CvorbelApp::viewing_scale, 130);
  EXPECT_EQ(the_settings().GetInt("Configure", "canvas_width", -1), 640);
  EXPECT_EQ(the_settings().GetString("Configure", "Last Save Directory", ""), "/saved/here/");
  ASSERT_EQ(app.RecentFiles().GetCount(), 2u);
  EXPECT_EQ(app.RecentFiles().GetHistoryFile(0), image);
  EXPECT_EQ(app.RecentFiles().GetHistoryFile(1), old_image);
  Stop();

  const std::string long_folder = "/" + std::string(max_settings_file_bytes - 60, 'x') + "/";
  WriteFile("vorbel.conf", "[Configure]\nLast Open Directory=" + long_folder + "\n");
  testing::internal::CaptureStderr();
  Start({image});
  Stop();
  said = testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("the settings cannot be stored in"), std::string::npos) << said;
  EXPECT_LE(FileText(folder / "vorbel.conf").size(), max_settings_file_bytes);
  Start();
  EXPECT_TRUE(the_settings().GetString("Configure", "Last Open Directory", "") == long_folder);
}

// A NUL byte ends wx's reading of a text, and a byte that is no UTF-8 has all of it
// read as Latin-1: each must spoil no other line, on reading or on the next write.
TEST_F(App, JunkBytesInTheSettingsFileSpoilOnlyTheirOwnLines) {
  const std::string image = PlainImage("a.png", 8, 6, 1, 2, 3);
  const std::string folder_name = "/home/jos\xc3\xa9/pictures/";
  using namespace std::string_literals;
  // The NULs stand where a block of the file was lost, one of them in a line break's place.
  WriteFile("vorbel.conf", "ApplicationLook=212\n[Configure]\n\0\0\0junk\0\nViewing Scale=130\0\0"s +
                               "canvas_width=640\nstray \xff byte\nLast Open Directory=" + folder_name +
                               "\n[Recent File List]\nfile1=" + image + "\n");
  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE(run == 0 ? "as written by hand" : "as the program wrote it back");
    Start();
    EXPECT_EQ(app.app_look, 212);
    EXPECT_EQ(CvorbelApp::viewing_scale, 130);
    EXPECT_EQ(the_settings().GetInt("Configure", "canvas_width", -1), 640);
    EXPECT_EQ(the_settings().GetString("Configure", "Last Open Directory", ""), folder_name);
    ASSERT_EQ(app.RecentFiles().GetCount(), 1u);
    EXPECT_EQ(app.RecentFiles().GetHistoryFile(0), image);
    the_settings().WriteInt("Configure", "canvas_height", 480);
    Stop();
  }
  EXPECT_NE(FileText(folder / "vorbel.conf").find(folder_name + "\n"), std::string::npos);
}

TEST_F(App, SettingsAreWrittenThroughALinkAndAFolderInTheirPlaceIsSaidAndLeftAlone) {
  std::filesystem::create_directory(folder / "real");
  WriteFile("real/settings.conf", "[Configure]\nViewing Scale=130\n");
  std::filesystem::create_symlink("real/settings.conf", folder / "vorbel.conf");
  Start();
  EXPECT_EQ(CvorbelApp::viewing_scale, 130);
  CvorbelApp::viewing_scale = 150;
  Stop();
  EXPECT_TRUE(std::filesystem::is_symlink(folder / "vorbel.conf"));
  EXPECT_NE(FileText(folder / "real/settings.conf").find("Viewing\\ Scale=150\n"), std::string::npos);

  std::filesystem::remove(folder / "vorbel.conf");
  std::filesystem::remove_all(folder / "real");
  std::filesystem::create_directory(folder / "vorbel.conf");
  testing::internal::CaptureStderr();
  Start();
  EXPECT_TRUE(Messages().empty());
  CvorbelApp::viewing_scale = 150;
  Stop();
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("the settings cannot be stored: " + (folder / "vorbel.conf").string() + " is not a file."),
            std::string::npos)
      << said;
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 1);
  EXPECT_TRUE(std::filesystem::is_empty(folder / "vorbel.conf"));
}

TEST_F(App, TheOpenDialogRemembersFolderAndFilterOnlyWhenAFileIsChosen) {
  Start();
  Command(WxId(cmd_file_open));  // cancelled
  ASSERT_EQ(app.dialog_questions.size(), 1u);
  EXPECT_EQ(app.dialog_questions[0].filter_index, 0);
  EXPECT_EQ(the_settings().GetInt("Configure", "Last Open Extension", -1), -1);
  EXPECT_EQ(the_settings().GetString("Configure", "Last Open Directory", "(none)"), "(none)");
  EXPECT_EQ(source_count, 0);

  const std::string first = PlainImage("first.png", 40, 30, 200, 100, 50);
  app.dialog_answer = {.filter = {}, .initial_folder = {}, .filter_index = 3, .path = first,
                       .name = "first.png"};
  Command(WxId(cmd_file_open));
  EXPECT_EQ(source_count, 1);
  app.dialog_answer.reset();
  Command(WxId(cmd_file_open));
  ASSERT_EQ(app.dialog_questions.size(), 3u);
  EXPECT_EQ(app.dialog_questions[2].filter_index, 3);
  EXPECT_EQ(app.dialog_questions[2].initial_folder, folder.string() + "/");
  app.OpenDroppedFiles({PlainImage("dropped.png", 10, 10, 1, 2, 3)});
  EXPECT_EQ(source_count, 2);
  EXPECT_TRUE(Messages().empty());
}

// A relative name is remembered in full, and the list lasts to the next run.
TEST_F(App, ACommandLineNameIsRememberedInFullForTheNextRun) {
  PlainImage("here.png", 8, 6, 1, 2, 3);
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(folder);
  Start({"here.png"});
  std::filesystem::current_path(before);
  EXPECT_EQ(source_count, 1);
  Stop();
  Start();
  ASSERT_EQ(app.RecentFiles().GetCount(), 1u);
  EXPECT_EQ(app.RecentFiles().GetHistoryFile(0), (folder / "here.png").string());
  Command(WxId(cmd_recent_file_1));
  EXPECT_EQ(source_count, 1);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(App, BadFilesOnTheCommandLineEachGetAMessageAndTheProgramRuns) {
  std::filesystem::create_directory(folder / "folder.png");
  Start({(folder / "missing.png").string(), (folder / "folder.png").string()});
  EXPECT_EQ(Messages(), (message_list{{"Failed to open document.\n" + (folder / "missing.png").string(),
                                       message_icon::error},
                                      {"Failed to open document.\n" + (folder / "folder.png").string(),
                                       message_icon::error}}));
  EXPECT_EQ(source_count, 0);
  Stop();

  WriteFile("corrupt.png", std::string("\x89PNG\r\n\x1a\n garbage that is no image", 33));
  Start({(folder / "corrupt.png").string()});
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].first.find("Unable to load this image file"), std::string::npos);
  EXPECT_EQ(source_count, 0);
  EXPECT_TRUE(app.Frame()->IsShown());
  EXPECT_EQ(app.RecentFiles().GetCount(), 0u);
}

TEST_F(App, ARecentFileWithTwoSourcesReplacesTheChosenOneAndRecombines) {
  Start({PlainImage("red.png", 64, 48, 200, 0, 0), PlainImage("blue.png", 64, 48, 0, 0, 200)});
  app.RecentFiles().AddFileToHistory(PlainImage("green.png", 64, 48, 0, 200, 0));
  Command(WxId(cmd_recent_file_1));  // the replace dialog is cancelled
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].first, "Problem opening this file ?\n" + (folder / "green.png").string());
  EXPECT_EQ(target_pixels[0].blue, (200 * 127) >> 8);
  app.port->replace_choice = 130;
  Command(WxId(cmd_recent_file_1));
  EXPECT_EQ(Messages().size(), 1u);
  EXPECT_EQ(app.Document()->replaced_source, 2);
  EXPECT_EQ(target_pixels[0].red, (200 * 129) >> 8);
  EXPECT_EQ(target_pixels[0].green, (200 * 127) >> 8);
  EXPECT_EQ(target_pixels[0].blue, 0);
}

// A recent file that is gone gets one message, which names it, from the first entry
// of the list as from the others.
TEST_F(App, ARecentFileThatIsGoneIsToldOnceWithItsName) {
  Start({PlainImage("red.png", 64, 48, 200, 0, 0)});
  const std::string gone[2] = {(folder / "gone1.png").string(), (folder / "gone2.png").string()};
  app.RecentFiles().AddFileToHistory(gone[1]);
  app.RecentFiles().AddFileToHistory(gone[0]);
  for (int entry : {1, 0}) {
    Messages().clear();
    Command(WxId(cmd_recent_file_1) + entry);
    EXPECT_EQ(Messages(), (message_list{{"Problem opening this file ?\n" + gone[entry], message_icon::error}}))
        << entry;
  }
  EXPECT_EQ(source_count, 1);
}

TEST(ReplaceSourceDialog, EachButtonEndsWithItsResultAndTheCloseBoxCancels) {
  auto run = [](const std::function<void(replace_source&)>& act) {  // act ends the shown dialog
    replace_source dialog(nullptr);
    dialog.CallAfter([&] { act(dialog); });
    return dialog.ShowModal();
  };
  for (auto [id, result] : {std::pair{int(replace_source::replace_1_id), 129},
                            std::pair{int(replace_source::replace_2_id), 130},
                            std::pair{int(wxID_CANCEL), 2}})
    EXPECT_EQ(run([id](replace_source& dialog) {
                wxCommandEvent click(wxEVT_BUTTON, id);
                dialog.FindWindow(id)->ProcessWindowEvent(click);
              }),
              result);
  EXPECT_EQ(run([](replace_source& dialog) { dialog.Close(); }), 2);
}

}  // namespace

namespace {

class counting_dock_art : public wxAuiDefaultDockArt {
 public:
  int grippers = 0;
  void DrawGripper(wxDC& dc, wxWindow* window, const wxRect& rect, wxAuiPaneInfo& pane) override {
    ++grippers;
    wxAuiDefaultDockArt::DrawGripper(dc, window, rect, pane);
  }
};

}  // namespace

// The repaints of each pair (statistics, status pane, file names, view) expose the
// frame only where its windows cover it: the docking does not draw itself again,
// while a repaint of the frame itself still draws it.
TEST_F(App, AChildsRepaintLeavesTheDockingAlone) {
  Start();
  wxFrame* frame = app.Frame();
  frame->Update();
  auto* art = new counting_dock_art;
  app.Frame()->Docking().SetArtProvider(art);
  the_ui().RedrawStats();
  the_ui().SetSourceFileName("a.png", 1);
  if (the_status_bar) the_status_bar->ShowStatusText("Current file count = 1");
  EXPECT_EQ(art->grippers, 0);
  frame->Refresh();
  frame->Update();
  EXPECT_GT(art->grippers, 0);
}
