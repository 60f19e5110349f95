#include <wx/filehistory.h>
#include <wx/menu.h>

#include "sources/document.h"
#include "tests/ui/app_fixture.h"

namespace {

class AppOpen : public app_fixture {
 protected:
  int StoredExtension() { return the_settings().GetInt("Configure", "Last Open Extension", -1); }
  std::string StoredFolder() {
    return the_settings().GetString("Configure", "Last Open Directory", "(none)");
  }
  void Choose(const std::string& path, const std::string& name, int filter_index) {
    open_file_request answer;
    answer.path = path;
    answer.name = name;
    answer.filter_index = filter_index;
    TheTestApp().dialog_answer = answer;
  }
  void FileOpen() {
    wxCommandEvent open(wxEVT_MENU, WxId(cmd_file_open));
    Frame()->ProcessWindowEvent(open);
  }
};

TEST_F(AppOpen, ACancelledDialogStoresAndOpensNothing) {
  Start();
  FileOpen();
  ASSERT_EQ(TheTestApp().dialog_questions.size(), 1u);
  const open_file_request& asked = TheTestApp().dialog_questions[0];
  EXPECT_EQ(asked.filter, open_image_filter);
  EXPECT_EQ(asked.filter_index, 0);
  EXPECT_EQ(asked.initial_folder, "");
  EXPECT_EQ(StoredExtension(), -1);
  EXPECT_EQ(StoredFolder(), "(none)");
  EXPECT_EQ(source_count, 0);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(AppOpen, TheChosenFolderAndFilterAreRememberedAndTheFileOpens) {
  Start();
  const std::string path = PlainImage("first.png", 40, 30, 200, 100, 50);
  Choose(path, "first.png", 3);
  FileOpen();
  EXPECT_EQ(StoredExtension(), 3);
  EXPECT_EQ(StoredFolder(), folder.string() + "/");
  EXPECT_EQ(source_count, 1);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(TheTestApp().RecentFiles().GetCount(), 1u);

  TheTestApp().dialog_answer.reset();
  FileOpen();
  ASSERT_EQ(TheTestApp().dialog_questions.size(), 2u);
  EXPECT_EQ(TheTestApp().dialog_questions[1].filter_index, 3);
  EXPECT_EQ(TheTestApp().dialog_questions[1].initial_folder, folder.string() + "/");
}

TEST_F(AppOpen, FilesOnTheCommandLineOpenAsSourcesOneAndTwo) {
  const std::string red = PlainImage("red.png", 32, 24, 255, 0, 0);
  const std::string blue = PlainImage("blue.png", 16, 48, 0, 0, 255);
  const std::string third = PlainImage("third.png", 8, 8, 0, 255, 0);
  Start({red, blue, third});
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(source_count, 2);
  CvorbelDoc& doc = *TheTestApp().Document();
  EXPECT_EQ(doc.image_size[0].width, 32);
  EXPECT_EQ(doc.image_size[1].width, 16);
  EXPECT_EQ(doc.file_name[1], blue);
}

TEST_F(AppOpen, ARelativeNameOnTheCommandLineIsRememberedInFull) {
  PlainImage("here.png", 8, 6, 1, 2, 3);
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(folder);
  Start({"here.png"});
  std::filesystem::current_path(before);
  EXPECT_EQ(source_count, 1);
  ASSERT_EQ(TheTestApp().RecentFiles().GetCount(), 1u);
  EXPECT_EQ(TheTestApp().RecentFiles().GetHistoryFile(0), (folder / "here.png").string());
}

TEST_F(AppOpen, BadFilesOnTheCommandLineEachGetAMessageAndTheProgramRuns) {
  const std::string missing = (folder / "missing.png").string();
  std::filesystem::create_directory(folder / "folder.png");
  WriteFile("corrupt.png", std::string("\x89PNG\r\n\x1a\n garbage that is no image", 33));
  Start({missing, (folder / "folder.png").string()});
  ASSERT_EQ(Messages().size(), 2u);
  EXPECT_EQ(Messages()[0].first, "Failed to open document.");
  EXPECT_EQ(Messages()[1].first, "Failed to open document.");
  EXPECT_EQ(source_count, 0);
  Stop();

  Start({(folder / "corrupt.png").string()});
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].first.find("Unable to load this image file"), std::string::npos);
  EXPECT_EQ(Messages()[0].second, message_icon::error);
  EXPECT_EQ(source_count, 0);
  ASSERT_NE(Frame(), nullptr);
  EXPECT_TRUE(Frame()->IsShown());
  EXPECT_EQ(TheTestApp().RecentFiles().GetCount(), 0u);
}

TEST_F(AppOpen, DroppedFilesOpenOneAfterTheOther) {
  Start();
  TheTestApp().OpenDroppedFiles(
      {PlainImage("a.png", 10, 10, 1, 2, 3), PlainImage("b.png", 12, 12, 4, 5, 6)});
  EXPECT_EQ(source_count, 2);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(AppOpen, TheRecentFileListKeepsSixteenAndShowsThemInTheFileMenu) {
  Start();
  for (int i = 0; i < 18; ++i)
    TheTestApp().RecentFiles().AddFileToHistory(
        wxString::Format("%s/f%02d.png", folder.string(), i));
  Frame()->ShowRecentFiles(TheTestApp().RecentFiles());
  EXPECT_EQ(TheTestApp().RecentFiles().GetCount(), 16u);
  wxMenuItem* first = Frame()->GetMenuBar()->FindItem(WxId(cmd_recent_file_1));
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->GetItemLabel(), wxString::Format("&1 %s/f17.png", folder.string()));
  EXPECT_NE(Frame()->GetMenuBar()->FindItem(WxId(cmd_recent_file_16)), nullptr);
  EXPECT_TRUE(Enabled(cmd_recent_file_1));
}

TEST_F(AppOpen, ARecentFileThatCannotBeOpenedIsReported) {
  const std::string gone = (folder / "gone.png").string();
  const std::string also_gone = (folder / "also-gone.png").string();
  Start();
  TheTestApp().RecentFiles().AddFileToHistory(also_gone);
  TheTestApp().RecentFiles().AddFileToHistory(gone);
  Frame()->ShowRecentFiles(TheTestApp().RecentFiles());

  wxCommandEvent first(wxEVT_MENU, WxId(cmd_recent_file_1));
  Frame()->ProcessWindowEvent(first);
  ASSERT_EQ(Messages().size(), 2u);
  EXPECT_EQ(Messages()[1].first, "Problem opening this file ?");
  EXPECT_EQ(TheTestApp().RecentFiles().GetCount(), 2u);

  // Entries after the first leave the list when they fail, without a second message.
  wxCommandEvent second(wxEVT_MENU, WxId(cmd_recent_file_1) + 1);
  Frame()->ProcessWindowEvent(second);
  EXPECT_EQ(Messages().size(), 3u);
  EXPECT_EQ(TheTestApp().RecentFiles().GetCount(), 1u);
  EXPECT_EQ(source_count, 0);
}

TEST_F(AppOpen, TheFirstRecentFileWithTwoSourcesReplacesTheChosenOneAndRecombines) {
  const std::string green = PlainImage("green.png", 64, 48, 0, 200, 0);
  Start({PlainImage("red.png", 64, 48, 200, 0, 0), PlainImage("blue.png", 64, 48, 0, 0, 200)});
  TheTestApp().RecentFiles().AddFileToHistory(green);
  wxCommandEvent first(wxEVT_MENU, WxId(cmd_recent_file_1));

  Frame()->ProcessWindowEvent(first);  // the replace dialog is cancelled
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].first, "Problem opening this file ?");
  EXPECT_EQ(target_pixels[0].blue, (0 * 129 + 200 * 127) >> 8);

  TheTestApp().port->replace_choice = 130;
  Frame()->ProcessWindowEvent(first);
  EXPECT_EQ(Messages().size(), 1u);
  EXPECT_EQ(TheTestApp().Document()->replaced_source, 2);
  EXPECT_EQ(source_count, 2);
  EXPECT_EQ(target_pixels[0].red, (200 * 129) >> 8);
  EXPECT_EQ(target_pixels[0].green, (200 * 127) >> 8);
  EXPECT_EQ(target_pixels[0].blue, 0);
}

TEST_F(AppOpen, TheRecentFileListLastsBetweenRuns) {
  const std::string path = PlainImage("kept.png", 10, 10, 9, 9, 9);
  Start({path});
  Stop();
  Start();
  ASSERT_EQ(TheTestApp().RecentFiles().GetCount(), 1u);
  EXPECT_EQ(TheTestApp().RecentFiles().GetHistoryFile(0), path);
  wxCommandEvent first(wxEVT_MENU, WxId(cmd_recent_file_1));
  Frame()->ProcessWindowEvent(first);
  EXPECT_EQ(source_count, 1);
  EXPECT_TRUE(Messages().empty());
}

}  // namespace
