#include <wx/filehistory.h>

#include "engine/view_core.h"
#include "sources/document.h"
#include "tests/ui/app_fixture.h"
#include "ui/about_dialog.h"
#include "ui/app_look.h"
#include "ui/status_bar.h"
#include "ui/view.h"

namespace {

class AppStart : public app_fixture {};

TEST_F(AppStart, WithoutTheImagingLayerOneMessageAndTheLoadsAreGrey) {
  TheTestApp().imaging_works = false;
  Start();
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].first, "Failed to create WICImaging Factory.");
  EXPECT_EQ(Messages()[0].second, message_icon::error);
  EXPECT_FALSE(wic_ready);
  EXPECT_FALSE(Enabled(cmd_file_open));
  ASSERT_NE(Frame(), nullptr);
  EXPECT_TRUE(Frame()->IsShown());

  Stop();
  TheTestApp().imaging_works = true;
  Start();
  EXPECT_TRUE(Messages().empty());
  EXPECT_TRUE(wic_ready);
  EXPECT_TRUE(Enabled(cmd_file_open));
}

TEST_F(AppStart, CommandsStillToComeAreGreyAndTheOthersFollowTheirRules) {
  Start();
  for (int command : {cmd_rotate, cmd_batch, cmd_open_text, cmd_perspective, cmd_place_2_middle})
    EXPECT_FALSE(Enabled(command)) << command;
  for (int command : {cmd_about, cmd_exit, cmd_file_save_as, cmd_file_new})
    EXPECT_TRUE(Enabled(command)) << command;
  EXPECT_FALSE(Enabled(cmd_recent_file_1));  // the list is empty

  wxUpdateUIEvent batch(WxId(cmd_batch));
  source_count = 1;
  CvorbelApp::OnUpdateBatchVorbel(batch);
  EXPECT_FALSE(batch.GetEnabled());
  source_count = 2;
  CvorbelApp::OnUpdateBatchVorbel(batch);
  EXPECT_TRUE(batch.GetEnabled());
  source_count = 0;
}

TEST_F(AppStart, HandEditedSettingsOutOfRangeAreClamped) {
  WriteFile("vorbel.conf",
            "ApplicationLook=99999\n"
            "[Configure]\n"
            "Viewing Scale=-7\n"
            "Last Open Extension=123456789012345678901234\n"
            "Last Open Directory=/nowhere/\n");
  Start();
  EXPECT_EQ(TheTestApp().app_look, last_look_id);
  EXPECT_EQ(CvorbelApp::viewing_scale, 55);
  EXPECT_TRUE(TheTestApp().AskImageFileName().empty());
  ASSERT_EQ(TheTestApp().dialog_questions.size(), 1u);
  EXPECT_EQ(TheTestApp().dialog_questions[0].filter_index, open_image_filter_count);
  EXPECT_EQ(TheTestApp().dialog_questions[0].initial_folder, "/nowhere/");

  Stop();
  WriteFile("vorbel.conf", "ApplicationLook=-3\n[Configure]\nViewing Scale=not a number\n");
  Start();
  EXPECT_EQ(TheTestApp().app_look, first_look_id);
  EXPECT_EQ(CvorbelApp::viewing_scale, 100);
}

TEST_F(AppStart, ASettingsFileOfGarbageIsReadAsEmpty) {
  WriteFile("vorbel.conf", std::string("\x01\xff[[[\n=\n[Configure\nViewing Scale\n\0\0", 30));
  Start();
  EXPECT_EQ(TheTestApp().app_look, default_look_id);
  EXPECT_EQ(CvorbelApp::viewing_scale, 100);
  EXPECT_TRUE(Frame()->IsShown());
}

TEST_F(AppStart, TheViewingScaleIsStoredAtTheEnd) {
  Start();
  CvorbelApp::viewing_scale = 130;
  Stop();
  CvorbelApp::viewing_scale = 100;
  Start();
  EXPECT_EQ(CvorbelApp::viewing_scale, 130);
}

TEST_F(AppStart, TheChosenLookIsMarkedStoredAndUsedAtTheNextStart) {
  Start();
  EXPECT_EQ(TheTestApp().app_look, default_look_id);
  wxCommandEvent choose(wxEVT_MENU, cmd_look_windows_2000);
  Frame()->ProcessWindowEvent(choose);
  EXPECT_EQ(TheTestApp().app_look, cmd_look_windows_2000);
  EXPECT_EQ(the_settings().GetInt("", "ApplicationLook", 0), cmd_look_windows_2000);
  for (int id = first_look_id; id <= last_look_id; ++id) {
    wxUpdateUIEvent mark(id);
    Frame()->ProcessWindowEvent(mark);
    EXPECT_EQ(mark.GetChecked(), id == cmd_look_windows_2000) << id;
  }
  Stop();
  Start();
  EXPECT_EQ(TheTestApp().app_look, cmd_look_windows_2000);
  EXPECT_EQ(Frame()->Docking().GetArtProvider()->GetColour(wxAUI_DOCKART_BACKGROUND_COLOUR),
            LookStyle(cmd_look_windows_2000).background);
}

TEST_F(AppStart, TheAboutBoxAndHelpMenuOpenTheTwoPagesInTheBrowser) {
  Start();
  CAboutDlg about(Frame());
  wxCommandEvent click(wxEVT_BUTTON);
  about.OnHomePage(click);
  about.OnFaq(click);
  wxCommandEvent faq(wxEVT_MENU, cmd_faq);
  Frame()->ProcessWindowEvent(faq);
  const std::string site = site_address;
  EXPECT_EQ(TheTestApp().browsed,
            (std::vector<std::string>{site + "/vorbel", site + "/vorbel/faqs.htm",
                                      site + "/vorbel/faqs.htm"}));
  EXPECT_NE(about.FindWindow(cmd_home_page), nullptr);
  EXPECT_NE(about.FindWindow(cmd_faq), nullptr);
}

TEST_F(AppStart, AWindowResizedToAFewPixelsIsHeldAtItsSmallestSize) {
  Start();
  Frame()->SetSize(3, 3);
  Settle();
  const wxSize size = Frame()->GetSize();
  EXPECT_GE(size.x, CMainFrame::min_width);
  EXPECT_GE(size.y, CMainFrame::min_height);
  EXPECT_GT(Frame()->View()->GetClientSize().x, 0);
  EXPECT_GT(Frame()->View()->GetClientSize().y, 0);
  Frame()->SetSize(CMainFrame::start_width, CMainFrame::start_height);
  Settle();
  EXPECT_TRUE(Frame()->IsShown());
}

}  // namespace
