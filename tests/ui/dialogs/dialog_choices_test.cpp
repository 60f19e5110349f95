#include <gtest/gtest.h>

#include <wx/checkbox.h>
#include <wx/image.h>
#include <wx/radiobut.h>
#include <wx/spinbutt.h>
#include <wx/textctrl.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "batch/batch_choices.h"
#include "engine/effects/articulate_session.h"
#include "engine/effects/blending_zone.h"
#include "tests/ui/dialog_clicks.h"
#include "tests/ui/dialogs/blend_box_fixture.h"
#include "tests/ui/target_copy.h"
#include "ui/batch/batch_dialogs.h"
#include "ui/dialogs/articulate_dialog.h"
#include "ui/dialogs/blend_dialog.h"
#include "ui/dialogs/fix_pictures.h"
#include "ui/view/view.h"

namespace {

// The nine fix points, in the radio order, and where each sits on the 26 x 14
// source drawn at (4, 4) in a picture: the corners, the middles of the edges and the
// middle.
TEST(fix_pictures, EachPictureMarksItsOwnFixPointInItsSourcesColour) {
  struct mark {
    const char* name;
    int x, y;
  };
  const mark marks[9] = {{"Left", 4, 10},         {"Top Left", 4, 4},    {"Top", 16, 4},
                         {"Top Right", 29, 4},    {"Right", 29, 10},     {"Bottom Right", 29, 17},
                         {"Bottom", 16, 17},      {"Bottom Left", 4, 17}, {"Middle", 16, 10}};
  const wxColour dot(0, 128, 255);
  const wxColour body[2] = {wxColour(255, 192, 192), wxColour(153, 255, 102)};
  for (int s = 1; s <= 2; ++s)
    for (int fix = 0; fix < 9; ++fix) {
      const wxImage picture = FixPicture(s, fix).ConvertToImage();
      ASSERT_EQ(picture.GetSize(), wxSize(34, 22));
      for (int other = 0; other < 9; ++other) {
        const int x = marks[other].x, y = marks[other].y;
        const wxColour seen(picture.GetRed(x, y), picture.GetGreen(x, y), picture.GetBlue(x, y));
        if (other == fix)
          EXPECT_EQ(seen, dot) << s << " " << marks[fix].name;
        else
          EXPECT_NE(seen, dot) << s << " " << marks[fix].name << " also marks " << marks[other].name;
      }
      EXPECT_EQ(ColourAt(picture, 10, 13), body[s - 1]) << s << " " << marks[fix].name;
    }
}

// Two sources covering the target, red and blue; the red one striped, so that
// effects that move pixels show, on a 320 x 240 target.
class dialog_choices : public blend_box {
 protected:
  void SetUp() override {
    blend_box::SetUp();
    wxImage striped(64, 48);
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 64; ++x) striped.SetRGB(x, y, 250, (x * 37 + y * 11) % 7 < 3 ? 0 : 90, 0);
    const std::string red = (folder / "red.png").string();
    ASSERT_TRUE(striped.SaveFile(red, wxBITMAP_TYPE_PNG));
    // A small target keeps the effects quick.
    WriteFile("vorbel.conf", "[Configure]\ncanvas_width=320\ncanvas_height=240\n");
    Start({red, PlainImage("blue.png", 64, 48, 0, 0, 250)});
    view = app.Frame()->View();
  }
  static std::pair<int, int> RedBlue(int c, int r) {
    const bgra& p = target_pixels[size_t(r) * target_width + c];
    return {p.red, p.blue};
  }
};

TEST_F(dialog_choices, TheShapeRadiosSetTheirPairAndMaxOneFillsTheBoxWithSourceOne) {
  const std::vector<bgra> opening = Target();
  blend_dialog* dialog = OpenOver(40, 30, 280, 200);
  ASSERT_NE(dialog, nullptr);
  // (rectangular, fade) for "Ellipse: smooth fade", "Ellipse: same blend", "Rectangle: same blend".
  const std::pair<int, std::pair<bool, bool>> shapes[] = {
      {1009, {false, false}}, {1067, {true, false}}, {1068, {false, true}}, {1067, {true, false}}};
  for (auto [id, pair] : shapes) {
    Click(dialog, id);
    EXPECT_EQ(std::make_pair(view->zone_rectangular, view->zone_fade), pair) << id;
  }

  Click(dialog, 1009);
  Press(dialog, blend_dialog::max_1_id);
  EXPECT_EQ(view->zone_level, 0);
  EXPECT_EQ(std::make_pair(view->zone_rectangular, view->zone_fade), std::make_pair(false, false));
  const zone_area z = ZoneInTarget(view->zone_box, view->target_rect.left, view->target_rect.top, view->display_scale);
  const int right = z.left + z.width - 1, bottom = z.top + z.height - 1;
  // Source 1 wholly, even in the corners an ellipse would leave alone.
  for (auto [c, r] : {std::pair{z.left, z.top}, {right, z.top}, {z.left, bottom}, {right, bottom}, {160, 115}})
    EXPECT_EQ(RedBlue(c, r), std::make_pair(250, 0)) << c << "," << r;
  EXPECT_EQ(RedBlue(z.left - 1, z.top), RedBlue(right + 1, bottom)) << "outside the box: the mix as before";
  EXPECT_NE(RedBlue(z.left - 1, z.top), std::make_pair(250, 0));

  // A step in each shape blends the middle, each in its own way.
  const std::pair<int, int> middle = RedBlue(160, 115);
  std::vector<std::vector<bgra>> stepped;
  for (int id : {1067, 1009, 1068}) {
    dialog->OnUndoLastAction();
    Click(dialog, id);
    dialog->OnBlendButton1();
    EXPECT_NE(RedBlue(160, 115), middle) << id;
    stepped.push_back(Target());
  }
  EXPECT_FALSE(Same(stepped[0], stepped[1]));
  EXPECT_FALSE(Same(stepped[1], stepped[2]));

  // "Remove all blending" brings back the sources' own combination, Max. 1 included.
  dialog->OnBlendButton1();
  dialog->OnBlendButton1();
  Press(dialog, blend_dialog::remove_id);
  EXPECT_EQ(view->zone_level, 0);
  EXPECT_TRUE(Same(Target(), opening));
  Press(dialog, blend_dialog::max_1_id);
  Press(dialog, blend_dialog::remove_id);
  EXPECT_TRUE(Same(Target(), opening));
}

TEST_F(dialog_choices, ArticulateBoxesReachTheirOwnEffects) {
  const std::vector<bgra> opening = Target();
  // What the engine makes of given levels, from the same opening target.
  auto effect = [&](auto run) {
    std::memcpy(target_pixels, opening.data(), opening.size() * sizeof(bgra));
    articulate_session session(*view);
    run(session);
    std::vector<bgra> made = Target();
    session.Reset();
    return made;
  };
  const std::vector<bgra> weird_7_3 = effect([](articulate_session& s) { s.Weird(7, 3); });
  const std::vector<bgra> weird_3_7 = effect([](articulate_session& s) { s.Weird(3, 7); });
  const std::vector<bgra> weird_11_10 = effect([](articulate_session& s) { s.Weird(11, 10); });
  const std::vector<bgra> weird_10_9 = effect([](articulate_session& s) { s.Weird(10, 9); });
  const std::vector<bgra> pencil_2 = effect([](articulate_session& s) { s.Pencil(2); });
  ASSERT_FALSE(Same(weird_7_3, weird_3_7));
  ASSERT_FALSE(Same(weird_11_10, weird_10_9));
  ASSERT_TRUE(Same(Target(), opening));

  articulate dialog(app.Frame(), *view);
  // The defaults: amplitude 10, frequency 10, both levels 5.
  EXPECT_EQ(dialog.amplitude_edit->GetValue(), "10");
  EXPECT_EQ(dialog.frequency_edit->GetValue(), "10");
  EXPECT_EQ(dialog.bubble_edit->GetValue(), "5");
  EXPECT_EQ(dialog.pencil_edit->GetValue(), "5");

  dialog.amplitude_edit->ChangeValue("7");
  dialog.frequency_edit->ChangeValue("3");
  Press(&dialog, articulate::weird_id);
  EXPECT_TRUE(Same(Target(), weird_7_3)) << "amplitude 7, frequency 3";

  // Pencil draws over what is shown: from the opening target here.
  Press(&dialog, articulate::reset_id);
  dialog.pencil_edit->ChangeValue("2");
  Press(&dialog, articulate::pencil_id);
  EXPECT_TRUE(Same(Target(), pencil_2));
  // Both levels reach 10 and no further.
  Messages().clear();
  dialog.pencil_edit->ChangeValue("10");
  dialog.bubble_edit->ChangeValue("10");
  Press(&dialog, wxID_OK);
  EXPECT_TRUE(Messages().empty());
  dialog.pencil_edit->ChangeValue("11");
  Press(&dialog, wxID_OK);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].first, "Please enter an integer between 1 and 10.");
  dialog.pencil_edit->ChangeValue("5");
  for (wxTextCtrl* weird : {dialog.amplitude_edit, dialog.frequency_edit})
    for (const char* refused : {"0", "101"}) {
      Messages().clear();
      weird->ChangeValue(refused);
      Press(&dialog, wxID_OK);
      ASSERT_EQ(Messages().size(), 1u) << refused;
      EXPECT_EQ(Messages()[0].first, "Please enter an integer between 1 and 100.");
      weird->ChangeValue("100");
    }

  // A spin click steps its own value by one and runs Weird with it.
  dialog.amplitude_edit->ChangeValue("10");
  dialog.frequency_edit->ChangeValue("10");
  Press(&dialog, wxID_OK);
  auto spin = [&dialog](wxSpinButton* button, int position) {
    wxSpinEvent event(wxEVT_SPIN, button->GetId());
    event.SetEventObject(button);
    event.SetPosition(position);
    dialog.ProcessWindowEvent(event);
  };
  spin(dialog.amplitude_spin, 1);
  EXPECT_EQ(dialog.amplitude_edit->GetValue(), "11");
  EXPECT_EQ(dialog.frequency_edit->GetValue(), "10");
  EXPECT_TRUE(Same(Target(), weird_11_10));
  spin(dialog.amplitude_spin, -1);
  spin(dialog.frequency_spin, -1);
  EXPECT_EQ(dialog.amplitude_edit->GetValue(), "10");
  EXPECT_EQ(dialog.frequency_edit->GetValue(), "9");
  EXPECT_TRUE(Same(Target(), weird_10_9));
  // At the bottom a click down keeps 1 and says nothing.
  Messages().clear();
  dialog.frequency_edit->ChangeValue("1");
  Press(&dialog, wxID_OK);
  spin(dialog.frequency_spin, -1);
  EXPECT_EQ(dialog.frequency_edit->GetValue(), "1");
  EXPECT_TRUE(Messages().empty());
  dialog.OnReset();
  EXPECT_TRUE(Same(Target(), opening));
}

TEST_F(dialog_choices, BatchRadiosSayWhatTheyChoose) {
  batch_choices choices;
  choices.source1_path = "/data/a/one.png";
  choices.source2_path = "/data/b/two.png";
  {
    batch_vorbel dialog(app.Frame(), choices);
    const std::pair<int, const char*> kinds[3] = {{1068, "Fixed"}, {1009, "Text"}, {1067, "Directory"}};
    for (int k = 0; k < 3; ++k) {
      EXPECT_EQ(dialog.kind_buttons[k]->GetId(), kinds[k].first);
      EXPECT_EQ(dialog.kind_buttons[k]->GetLabel(), kinds[k].second);
      dialog.kind_buttons[k]->SetValue(true);
      EXPECT_EQ(dialog.SelectedKind(), k);
    }
    const char* const types[5] = {"Not set", "BMP", "JPEG", "TIFF", "PNG"};
    for (int t = 0; t < 5; ++t) {
      auto* button = dynamic_cast<wxRadioButton*>(dialog.FindWindow(1271 + t));
      ASSERT_NE(button, nullptr);
      EXPECT_EQ(button->GetLabel(), types[t]);
      button->SetValue(true);
      EXPECT_EQ(dialog.SelectedType(), t);
    }
    // The name box is open under "Entry + appended #" only.
    auto* numbered = dynamic_cast<wxRadioButton*>(dialog.FindWindow(1286));
    auto* not_set = dynamic_cast<wxRadioButton*>(dialog.FindWindow(1285));
    ASSERT_TRUE(numbered && not_set);
    EXPECT_EQ(numbered->GetLabel(), "Entry + appended #");
    EXPECT_TRUE(not_set->GetValue());
    EXPECT_FALSE(dialog.name_edit->IsEnabled());
    Click(&dialog, 1286);
    EXPECT_TRUE(dialog.name_edit->IsEnabled());
    Click(&dialog, 1285);
    EXPECT_FALSE(dialog.name_edit->IsEnabled());
  }

  // Each key by its label: the word is 1, 2 or 4, plus 8 forwards and 16 case sensitive.
  struct row {
    const char* key;
    bool forwards, case_sensitive;
    int word;
  };
  const row rows[] = {{"File: Time modified", true, false, 9}, {"File: Name", true, true, 26},
                      {"File: Name", false, false, 2},          {"File: Length", true, false, 12},
                      {"File: Length", false, true, 20}};
  for (const row& r : rows) {
    int word = 0;
    batch_sort sort(app.Frame(), word);
    EXPECT_TRUE(sort.forwards->GetValue()) << "opens forwards";
    EXPECT_TRUE(sort.key_buttons[0]->GetValue());
    sort.CallAfter([&] {
      for (wxRadioButton* key : sort.key_buttons)
        if (key->GetLabel() == r.key) Click(&sort, key->GetId());
      EXPECT_EQ(sort.case_button->IsEnabled(), std::string(r.key) == "File: Name") << r.key;
      sort.forwards->SetValue(r.forwards);
      sort.case_button->SetValue(r.case_sensitive);
      Press(&sort, wxID_OK);
    });
    EXPECT_EQ(sort.ShowModal(), wxID_OK);
    EXPECT_EQ(word, r.word) << r.key << " " << r.forwards << " " << r.case_sensitive;
  }
}

}  // namespace
