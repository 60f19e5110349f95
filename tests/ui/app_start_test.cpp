#include "engine/view_core.h"
#include "tests/ui/app_fixture.h"
#include "ui/app_look.h"
#include "ui/view.h"

namespace {

class AppStart : public app_fixture {};

TEST_F(AppStart, WithoutTheImagingLayerOneMessageAndTheLoadsAreGrey) {
  TheTestApp().imaging_works = false;
  Start();
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0], std::make_pair(std::string("Failed to create WICImaging Factory."), message_icon::error));
  EXPECT_FALSE(wic_ready);
  EXPECT_FALSE(Enabled(cmd_file_open));
  EXPECT_TRUE(Frame()->IsShown());
  Stop();
  TheTestApp().imaging_works = true;
  Start();
  EXPECT_TRUE(Messages().empty());
  EXPECT_TRUE(Enabled(cmd_file_open));
  EXPECT_FALSE(Enabled(cmd_perspective));  // still to come
  wxUpdateUIEvent batch(WxId(cmd_batch));
  for (int count : {1, 2}) {
    source_count = count;
    CvorbelApp::OnUpdateBatchVorbel(batch);
    EXPECT_EQ(batch.GetEnabled(), count == 2);
  }
  source_count = 0;
}

TEST_F(AppStart, HandEditedSettingsAreClampedAndGarbageReadsAsEmpty) {
  WriteFile("vorbel.conf",
            "ApplicationLook=99999\n[Configure]\nViewing Scale=-7\n"
            "Last Open Extension=123456789012345678901234\nLast Open Directory=/nowhere/\n");
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
  Stop();
  WriteFile("vorbel.conf", std::string("\x01\xff[[[\n=\n[Configure\nViewing Scale\n\0\0", 30));
  Start();
  EXPECT_EQ(TheTestApp().app_look, default_look_id);
  EXPECT_TRUE(Frame()->IsShown());
}

TEST_F(AppStart, LookAndViewingScaleAreStoredForTheNextStart) {
  Start();
  wxCommandEvent choose(wxEVT_MENU, cmd_look_windows_2000);
  Frame()->ProcessWindowEvent(choose);
  for (int id = first_look_id; id <= last_look_id; ++id) {
    wxUpdateUIEvent mark(id);
    Frame()->ProcessWindowEvent(mark);
    EXPECT_EQ(mark.GetChecked(), id == cmd_look_windows_2000) << id;
  }
  CvorbelApp::viewing_scale = 130;
  Stop();
  CvorbelApp::viewing_scale = 100;
  Start();
  EXPECT_EQ(CvorbelApp::viewing_scale, 130);
  EXPECT_EQ(TheTestApp().app_look, cmd_look_windows_2000);
  EXPECT_EQ(Frame()->Docking().GetArtProvider()->GetColour(wxAUI_DOCKART_BACKGROUND_COLOUR),
            LookStyle(cmd_look_windows_2000).background);
}

TEST_F(AppStart, AWindowResizedToAFewPixelsIsHeldAtItsSmallestSize) {
  Start();
  Frame()->SetSize(3, 3);
  Settle();
  EXPECT_GE(Frame()->GetSize().x, CMainFrame::min_width);
  EXPECT_GE(Frame()->GetSize().y, CMainFrame::min_height);
  EXPECT_GT(Frame()->View()->GetClientSize().x, 0);
  EXPECT_GT(Frame()->View()->GetClientSize().y, 0);
}

}  // namespace
