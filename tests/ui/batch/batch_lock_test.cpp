#include <wx/image.h>
#include <wx/menu.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "engine/base/view_core.h"
#include "sources/document.h"
#include "sources/text_entry_rules.h"
#include "tests/ui/pane_fixture.h"
#include "ui/commands/command_rules.h"
#include "ui/commands/pane_command_ids.h"
#include "ui/pane/properties_pane.h"
#include "ui/pane/trackbar.h"
#include "ui/view/flying_tips.h"
#include "ui/view/view.h"

namespace fs = std::filesystem;

namespace {

const char* const pictures[] = {"p1.png", "p2.png", "p3.png", "p4.png"};

// A batch run into which each road of the window is driven while it goes on. Source 2's
// folder holds the same picture four times, so that every output must be the target
// the program shows before the run.
class batch_lock : public pane_fixture {
 protected:
  void SetUp() override {
    pane_fixture::SetUp();
    fs::create_directories(folder / "two");
    for (const char* name : pictures)
      fs::rename(Picture("two.png", 80, 60, 0, 90, 200), folder / "two" / name);
    // Narrower than the target and of two halves: a move, a scale or a flip shows.
    Start({Picture("one.png", 30, 40, 220, 30, 0), (folder / "two" / pictures[0]).string()});
    ASSERT_EQ(source_count, 2);
    pane = the_properties_pane;
    view = dynamic_cast<CvorbelView*>(the_view);
    ASSERT_NE(view, nullptr);
    start_target.assign(target_pixels, target_pixels + size_t(target_width) * target_height);
    start_width = target_width;
    start_height = target_height;
    app.port->replace_choice = 129;
    app.port->text_answer = [](CvorbelDoc& d, int i, bool) { return ApplyTextEntry(d, i, "mid-run", false), true; };
  }

  std::string Picture(const std::string& name, int w, int h, unsigned char red, unsigned char green,
                      unsigned char blue) {
    wxImage image(w, h);
    image.SetRGB(wxRect(0, 0, w, h), red, green, blue);
    image.SetRGB(wxRect(0, 0, w / 2, h), green, blue, red);
    const std::string path = (folder / name).string();
    EXPECT_TRUE(image.SaveFile(path, wxBITMAP_TYPE_PNG));
    return path;
  }

  // Runs the batch from the Edit menu; road runs at every pump of it, with the pump's
  // number from 1. The first pump comes before the first pair is combined and saved.
  void Run(const std::function<void(int)>& road) {
    int pump = 0;
    auto at_pump = [&](wxIdleEvent& event) {
      event.Skip();
      if (app.BatchActive()) road(++pump);
    };
    app.Frame()->Bind(wxEVT_IDLE, at_pump);
    app.batch_dialog = [this](batch_choices& choices) {
      ++dialogs;
      ApplyBatchDialog(choices, source1_fixed, 0, "");
      return true;
    };
    Command(WxId(cmd_batch));
    app.Frame()->Unbind(wxEVT_IDLE, at_pump);
    app.batch_dialog = nullptr;
    EXPECT_GE(pump, 4);
    EXPECT_EQ(Messages(), (message_list{{"Batch vorbeling is complete.", message_icon::information}}));
  }

  // Every output is the combination the run started with.
  void ExpectOutputsAsAtTheStart() {
    for (const char* name : pictures) {
      wxImage output((folder / "two/output" / name).string(), wxBITMAP_TYPE_PNG);
      ASSERT_TRUE(output.IsOk()) << name;
      ASSERT_EQ(output.GetWidth(), start_width) << name;
      ASSERT_EQ(output.GetHeight(), start_height) << name;
      const unsigned char* rgb = output.GetData();
      size_t differing = 0;
      for (size_t i = 0; i < start_target.size(); ++i, rgb += 3)
        differing += rgb[0] != start_target[i].red || rgb[1] != start_target[i].green ||
                     rgb[2] != start_target[i].blue;
      EXPECT_EQ(differing, 0u) << name;
    }
  }

  void Send(wxWindow* window, wxEvent& event) {
    event.SetEventObject(window);
    window->GetEventHandler()->ProcessEvent(event);
  }
  void Mouse(wxEventType type, wxPoint p, bool left) {
    wxMouseEvent event(type);
    event.SetPosition(p);
    event.m_leftDown = left;
    Send(view, event);
  }
  void Key(wxEventType type, int code) {
    wxKeyEvent event(type);
    event.m_keyCode = code;
    event.m_uniChar = code;
    Send(view, event);
  }
  wxPoint Inside() const { return {view->target_rect.left + 12, view->target_rect.top + 12}; }

  CvorbelView* view = nullptr;
  std::vector<bgra> start_target;
  int start_width = 0, start_height = 0;
  int dialogs = 0;
};

TEST_F(batch_lock, CommandsFromMenusButtonsDropsAndRecentFilesDoNothingMidRun) {
  const std::string other = Picture("other.png", 50, 50, 10, 240, 10);
  app.RecentFiles().AddFileToHistory(wxString::FromUTF8(other));
  wxMenu* edit = app.Frame()->GetMenuBar()->GetMenu(1);
  bool greyed = false;
  Run([&](int pump) {
    if (pump != 1) return;
    greyed = !Enabled(cmd_paste) && !Enabled(cmd_target_size) && !Enabled(cmd_open_text) &&
             !Enabled(cmd_recent_file_1) && !Enabled(cmd_place_1_top_right);
    // A menu opened (or Ctrl+V pressed) mid-run asks the Edit menu's enabling.
    edit->UpdateUI();
    Command(WxId(cmd_open_text));
    Command(WxId(cmd_recent_file_1));
    Command(WxId(cmd_place_1_bottom_right));
    // The view's own menu sends its commands to the view.
    wxCommandEvent text(wxEVT_MENU, WxId(cmd_open_text));
    Send(view, text);
    wxCommandEvent corner(wxEVT_MENU, WxId(cmd_place_1_top_right));
    Send(view, corner);
    for (flat_image_button* button :
         std::initializer_list<flat_image_button*>{pane->mirror_button_1, pane->middle_button_1, pane->vorbel_button}) {
      wxCommandEvent press(wxEVT_BUTTON, button->GetId());
      Send(button, press);
    }
    wxCommandEvent tool(wxEVT_TOOL, WxId(cmd_adjoin_1_2));
    Send(pane->main_toolbar, tool);
    PostPaneCommand(cmd_place_2_bottom_left);
    app.OpenDroppedFiles({other});
    Settle();
  });
  EXPECT_TRUE(greyed);
  EXPECT_EQ(dialogs, 1);  // the pane's batch button started no second run
  EXPECT_EQ(app.port->text_dialogs, 0);
  EXPECT_EQ(app.Document()->source_kind[0], kind_file);
  ExpectOutputsAsAtTheStart();

  // The lock ends with the run, also for items that have no enabling rule of their own.
  edit->UpdateUI();
  EXPECT_TRUE(edit->IsEnabled(WxId(cmd_paste)));
  EXPECT_TRUE(edit->IsEnabled(WxId(cmd_target_size)));
  EXPECT_TRUE(Enabled(cmd_place_1_top_right));
  EXPECT_TRUE(Enabled(cmd_recent_file_1));
}

TEST_F(batch_lock, TheViewsKeysAndMouseDoNothingMidRun) {
  bool tip_allowed = true;
  std::vector<int> holds;
  view->hold = [&](int ms) { holds.push_back(ms); };
  // A click before the run leaves a box's corner behind, as a user's would.
  Mouse(wxEVT_LEFT_DOWN, Inside(), true);
  Mouse(wxEVT_LEFT_UP, Inside() + wxPoint(2, 2), false);
  ASSERT_EQ(holds.size(), 2u);
  holds.clear();
  int moving = 0;
  Run([&](int pump) {
    if (pump != 1) return;
    Key(wxEVT_KEY_DOWN, 'T');
    Key(wxEVT_CHAR, '1');
    moving = view->moving_source;
    Key(wxEVT_CHAR, '2');
    Key(wxEVT_KEY_DOWN, WXK_SPACE);
    Key(wxEVT_KEY_UP, WXK_SPACE);
    pane->tip_allowed = false;
    Mouse(wxEVT_LEFT_DOWN, Inside(), true);
    Mouse(wxEVT_MOTION, Inside() + wxPoint(40, 40), true);
    tip_allowed = pane->tip_allowed;
    EXPECT_FALSE(view->box_dragging);
    EXPECT_EQ(view->flying_tip, nullptr);
    Mouse(wxEVT_LEFT_UP, Inside() + wxPoint(2, 2), false);  // a click flashes the sources
  });
  EXPECT_EQ(app.port->text_dialogs, 0);
  EXPECT_EQ(app.Document()->source_kind[0], kind_file);
  EXPECT_EQ(moving, 0);
  EXPECT_EQ(view->moving_source, 0);
  EXPECT_TRUE(view->GetChildren().empty());  // no handles
  EXPECT_FALSE(tip_allowed);
  EXPECT_TRUE(holds.empty());
  ExpectOutputsAsAtTheStart();
}

TEST_F(batch_lock, TheGridAndTheLevelSlidersAreGreyAndRefuseChangesMidRun) {
  const long vertical = prop_vscale_1->GetValue().GetLong();
  bool grey = false;
  Run([&](int pump) {
    if (pump == 1) {
      Type(prop_vscale_1, "50");
      Pick(prop_method, 3L);
      Slide(pane->contrast_slider, 90);
      Slide(pane->brightness_slider, 10);
    } else if (pump == 2) {
      grey = !pane->grid->IsEnabled() && !pane->contrast_slider->IsEnabled() &&
             !pane->brightness_slider->IsEnabled() && pane->scale_slider->IsEnabled();
    }
  });
  EXPECT_TRUE(grey);
  EXPECT_EQ(prop_vscale_1->GetValue().GetLong(), vertical);
  EXPECT_EQ(pane->contrast_slider->GetValue(), 50);
  EXPECT_EQ(pane->brightness_slider->GetValue(), 50);
  EXPECT_EQ(view->channel_adjust[2].contrast, 50);
  ExpectOutputsAsAtTheStart();

  Settle();
  EXPECT_TRUE(pane->grid->IsEnabled());
  EXPECT_TRUE(pane->contrast_slider->IsEnabled());
  EXPECT_TRUE(Type(prop_vscale_1, "50"));
  EXPECT_EQ(prop_vscale_1->GetValue().GetLong(), 50);
}

}  // namespace
