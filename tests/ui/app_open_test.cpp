#include <wx/filehistory.h>
#include <wx/menu.h>

#include "sources/document.h"
#include "tests/ui/app_fixture.h"

namespace {

class AppOpen : public app_fixture {
 protected:
  void Command(int id) {
    wxCommandEvent event(wxEVT_MENU, id);
    Frame()->ProcessWindowEvent(event);
  }
  wxFileHistory& Recent() { return TheTestApp().RecentFiles(); }
};

TEST_F(AppOpen, TheDialogRemembersFolderAndFilterOnlyWhenAFileIsChosen) {
  Start();
  Command(WxId(cmd_file_open));  // cancelled
  ASSERT_EQ(TheTestApp().dialog_questions.size(), 1u);
  EXPECT_EQ(TheTestApp().dialog_questions[0].filter, open_image_filter);
  EXPECT_EQ(TheTestApp().dialog_questions[0].filter_index, 0);
  EXPECT_EQ(the_settings().GetInt("Configure", "Last Open Extension", -1), -1);
  EXPECT_EQ(the_settings().GetString("Configure", "Last Open Directory", "(none)"), "(none)");
  EXPECT_EQ(source_count, 0);

  open_file_request answer;
  answer.path = PlainImage("first.png", 40, 30, 200, 100, 50);
  answer.name = "first.png";
  answer.filter_index = 3;
  TheTestApp().dialog_answer = answer;
  Command(WxId(cmd_file_open));
  EXPECT_EQ(source_count, 1);
  EXPECT_EQ(Recent().GetCount(), 1u);
  TheTestApp().dialog_answer.reset();
  Command(WxId(cmd_file_open));
  ASSERT_EQ(TheTestApp().dialog_questions.size(), 3u);
  EXPECT_EQ(TheTestApp().dialog_questions[2].filter_index, 3);
  EXPECT_EQ(TheTestApp().dialog_questions[2].initial_folder, folder.string() + "/");
  TheTestApp().OpenDroppedFiles({PlainImage("dropped.png", 10, 10, 1, 2, 3)});
  EXPECT_EQ(source_count, 2);
  EXPECT_TRUE(Messages().empty());
}

// A relative name is remembered in full, and the list lasts to the next run.
TEST_F(AppOpen, ACommandLineNameIsRememberedInFullForTheNextRun) {
  PlainImage("here.png", 8, 6, 1, 2, 3);
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(folder);
  Start({"here.png"});
  std::filesystem::current_path(before);
  EXPECT_EQ(source_count, 1);
  Stop();
  Start();
  ASSERT_EQ(Recent().GetCount(), 1u);
  EXPECT_EQ(Recent().GetHistoryFile(0), (folder / "here.png").string());
  Command(WxId(cmd_recent_file_1));
  EXPECT_EQ(source_count, 1);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(AppOpen, BadFilesOnTheCommandLineEachGetAMessageAndTheProgramRuns) {
  std::filesystem::create_directory(folder / "folder.png");
  Start({(folder / "missing.png").string(), (folder / "folder.png").string()});
  EXPECT_EQ(Messages(), (std::vector<std::pair<std::string, message_icon>>(
                            2, {"Failed to open document.", message_icon::error})));
  EXPECT_EQ(source_count, 0);
  Stop();

  WriteFile("corrupt.png", std::string("\x89PNG\r\n\x1a\n garbage that is no image", 33));
  Start({(folder / "corrupt.png").string()});
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].first.find("Unable to load this image file"), std::string::npos);
  EXPECT_EQ(source_count, 0);
  EXPECT_TRUE(Frame()->IsShown());
  EXPECT_EQ(Recent().GetCount(), 0u);
}

TEST_F(AppOpen, TheRecentFileListKeepsSixteenInTheFileMenu) {
  Start();
  for (int i = 0; i < 18; ++i) Recent().AddFileToHistory(wxString::Format("%s/f%02d.png", folder.string(), i));
  Frame()->ShowRecentFiles(Recent());
  EXPECT_EQ(Recent().GetCount(), 16u);
  wxMenuItem* first = Frame()->GetMenuBar()->FindItem(WxId(cmd_recent_file_1));
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->GetItemLabel(), wxString::Format("&1 %s/f17.png", folder.string()));
  EXPECT_NE(Frame()->GetMenuBar()->FindItem(WxId(cmd_recent_file_16)), nullptr);
  EXPECT_TRUE(Enabled(cmd_recent_file_1));
}

TEST_F(AppOpen, ARecentFileThatCannotBeOpenedIsReported) {
  Start();
  Recent().AddFileToHistory((folder / "also-gone.png").string());
  Recent().AddFileToHistory((folder / "gone.png").string());
  Frame()->ShowRecentFiles(Recent());
  Command(WxId(cmd_recent_file_1));
  ASSERT_EQ(Messages().size(), 2u);
  EXPECT_EQ(Messages()[1].first, "Problem opening this file ?");
  EXPECT_EQ(Recent().GetCount(), 2u);
  // Entries after the first leave the list when they fail, without a second message.
  Command(WxId(cmd_recent_file_1) + 1);
  EXPECT_EQ(Messages().size(), 3u);
  EXPECT_EQ(Recent().GetCount(), 1u);
  EXPECT_EQ(source_count, 0);
}

TEST_F(AppOpen, ARecentFileWithTwoSourcesReplacesTheChosenOneAndRecombines) {
  Start({PlainImage("red.png", 64, 48, 200, 0, 0), PlainImage("blue.png", 64, 48, 0, 0, 200)});
  Recent().AddFileToHistory(PlainImage("green.png", 64, 48, 0, 200, 0));
  Command(WxId(cmd_recent_file_1));  // the replace dialog is cancelled
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].first, "Problem opening this file ?");
  EXPECT_EQ(target_pixels[0].blue, (200 * 127) >> 8);

  TheTestApp().port->replace_choice = 130;
  Command(WxId(cmd_recent_file_1));
  EXPECT_EQ(Messages().size(), 1u);
  EXPECT_EQ(TheTestApp().Document()->replaced_source, 2);
  EXPECT_EQ(target_pixels[0].red, (200 * 129) >> 8);
  EXPECT_EQ(target_pixels[0].green, (200 * 127) >> 8);
  EXPECT_EQ(target_pixels[0].blue, 0);
}

}  // namespace
