#include <wx/radiobut.h>
#include <wx/stattext.h>

#include "engine/base/process_state.h"
#include "sources/document.h"
#include "sources/software_pattern.h"
#include "tests/ui/source_roads_fixture.h"
#include "tests/ui/source_roads_fixture.h"
#include "tests/ui/wait_for.h"
#include "ui/commands/pane_command_ids.h"
#include "ui/commands/pane_command_ids.h"
#include "ui/dialogs/change_source_dialog.h"
#include "ui/dialogs/change_source_dialog.h"
#include "ui/dialogs/software_source_dialog.h"
#include "ui/pane/grid_properties.h"
#include "ui/pane/grid_properties.h"
#include "ui/pane/properties_pane.h"
#include "ui/pane/properties_pane.h"

namespace {

class software_sources : public source_roads {
 protected:
  void TearDown() override {
    software_source::ask_colour = nullptr;
    source_roads::TearDown();
  }
  // Answers the next software dialog: shape and size buttons, an optional colour, OK or Cancel.
  static void AnswerDialog(int shape, int size, bool ok, std::optional<uint32_t> colour = std::nullopt) {
    wxTheApp->CallAfter([=] {
      software_source* dialog = software_source::active;
      ASSERT_NE(dialog, nullptr);
      dialog->ChooseShape(shape);
      dialog->ChooseSize(size);
      if (colour) {
        software_source::ask_colour = [colour](wxWindow*) { return colour; };
        wxCommandEvent click;
        dialog->OnSetColor(click);
      }
      Press(dialog, ok ? wxID_OK : wxID_CANCEL);
    });
  }
};

TEST_F(software_sources, NewRoadCountsInGeneratesAtTheCanvasSizeAndCancelGivesTheCountBack) {
  the_settings().WriteInt("Configure", "canvas_width", 300);
  the_settings().WriteInt("Configure", "canvas_height", 200);
  AnswerDialog(0, 0, false);
  Command(WxId(cmd_software_source));
  EXPECT_EQ(source_count, 0);

  // Squares of 8 in red for source 1, a null source 2.
  AnswerDialog(2, 0, true, 0x0000FF);
  Command(WxId(cmd_software_source));
  ASSERT_EQ(source_count, 1);
  const image_record& squares = Doc().source_image[0];
  ASSERT_EQ(squares.Width(), 300);
  EXPECT_EQ(squares.mask[3], 1);
  EXPECT_EQ(squares.mask[300 * 1 + 1], 0);
  EXPECT_EQ(squares.Pixels()[4 * 3 + 2], 255);
  EXPECT_EQ(squares.Pixels()[4 * 3 + 0], 0);
  EXPECT_EQ(Doc().source_kind[0], kind_software);
  EXPECT_EQ(Port().labels[1], "Software generated source 1");

  AnswerDialog(5, 3, true);
  Command(WxId(cmd_software_source));
  ASSERT_EQ(source_count, 2);
  EXPECT_EQ(Doc().source_kind[1], kind_none);
  EXPECT_EQ(Port().labels[2], "Null source 2");
  EXPECT_EQ(target_width, 300);
  EXPECT_EQ(target_height, 200);
  EXPECT_EQ(View().start_buttons[0], nullptr);
  EXPECT_TRUE(Port().messages.empty());
}

TEST_F(software_sources, ReplaceRoadTakesTheTargetToTheCanvasAndCancelKeepsTheSource) {
  LoadSources(2);
  Port().replace_choice = 130;
  const uint8_t* kept = Doc().source_image[1].bitmap;
  AnswerDialog(1, 1, false);
  Command(WxId(cmd_software_source));
  EXPECT_EQ(Doc().source_image[1].bitmap, kept);

  base_color = {10, 20, 30};
  AnswerDialog(4, 0, true);
  Command(WxId(cmd_software_source));
  EXPECT_EQ(source_count, 2);
  const image_record& blank = Doc().source_image[1];
  EXPECT_EQ(blank.Width(), 1024);
  EXPECT_EQ(blank.Pixels()[0], 30);
  EXPECT_EQ(blank.Pixels()[2], 10);
  EXPECT_EQ(target_width, 1024);
  EXPECT_EQ(target_height, 768);
  base_color = {};
}

TEST_F(software_sources, ChangeSourceRoadsAndTheirCancels) {
  LoadSources(2);
  CvorbelView& view = View();
  view.offset[0] = {5, 6};
  view.rotation[0] = 20.0;
  Doc().mirrored[0] = 1;
  const uint8_t* kept = Doc().source_image[0].bitmap;
  int closed = -1;
  wxTheApp->CallAfter([&] {
    modify_source* dialog = modify_source::active;
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->selected->GetLabel(), "Selected source: 1");
    // The file dialog cancelled: placement reset all the same, the dialog stays.
    Press(dialog, modify_source::file_id);
    EXPECT_EQ(view.offset[0].x, 0);
    EXPECT_EQ(view.rotation[0], 0.0);
    EXPECT_EQ(Doc().mirrored[0], 0);
    EXPECT_EQ(Doc().source_image[0].bitmap, kept);
    // A cancelled text road puts the kind back; a confirmed one over a file drops
    // the file's name and placement.
    Press(dialog, modify_source::text_id);
    EXPECT_EQ(Doc().source_kind[0], kind_file);
    view.offset[0] = {3, 3};
    Port().text_answer = [](CvorbelDoc&, int index, bool replacing) { return index == 0 && replacing; };
    Press(dialog, modify_source::text_id);
    Port().text_answer = nullptr;
    EXPECT_EQ(Doc().source_kind[0], kind_text);
    EXPECT_EQ(Port().labels[1], "TEXT Source 1");
    EXPECT_TRUE(Doc().file_name[0].empty());
    EXPECT_EQ(view.offset[0].x, 0);
    // A cancelled pattern keeps the image.
    AnswerDialog(0, 0, false);
    Press(dialog, modify_source::software_id);
    EXPECT_EQ(Doc().source_image[0].bitmap, kept);
    // The target copied in: settings back to their defaults.
    method_code = 3;
    prop_method->SetValue(4L);
    view.perspective_on = true;
    Press(dialog, modify_source::target_id);
    EXPECT_FALSE(view.perspective_on);
    EXPECT_EQ(method_code, 8);
    EXPECT_EQ(prop_method->GetChoiceSelection(), 1);
    EXPECT_EQ(Doc().source_kind[0], kind_from_target);
    closed = 0;
    // The paste road closes the dialog even with nothing to paste.
    wxTheClipboard->Open();
    wxTheClipboard->Clear();
    wxTheClipboard->Close();
    Press(dialog, modify_source::paste_id);
    closed = 1;
  });
  the_properties_pane->RunCommand(cmd_change_source_1, true);
  EXPECT_EQ(closed, 1);
  EXPECT_EQ(Port().messages, (message_list{{"No image in the clipboard to retrieve?", message_icon::error}}));
}

TEST_F(software_sources, PreviewShowsTheCoresRasterInTheChosenColour) {
  base_color = {0, 0, 90};
  wxTheApp->CallAfter([] {
    software_source* dialog = software_source::active;
    ASSERT_NE(dialog, nullptr);
    software_source::ask_colour = [](wxWindow*) { return std::optional<uint32_t>(0x0000F0); };
    wxCommandEvent click;
    dialog->OnSetColor(click);
    dialog->ChooseShape(2);
    dialog->ChooseSize(1);
    pattern_choice choice;
    choice.shape = shape_squares, choice.size_index = 1;
    choice.colour[0] = 0, choice.colour[1] = 0, choice.colour[2] = 0xF0;
    choice.base[0] = 90, choice.base[1] = 0, choice.base[2] = 0;
    wxImage shown;
    int differing = -1;
    // The window system paints the preview in its own time.
    WaitFor([&] {
      shown = ScreenOf(dialog->preview);
      const std::vector<uint32_t> raster = RenderPatternPreview(choice, shown.GetWidth(), shown.GetHeight());
      differing = 0;
      for (int y = 0; y < shown.GetHeight(); ++y)
        for (int x = 0; x < shown.GetWidth(); ++x) {
          const uint32_t want = raster[size_t(y) * shown.GetWidth() + x];
          differing += shown.GetRed(x, y) != (want >> 16 & 0xFF) || shown.GetBlue(x, y) != (want & 0xFF);
        }
      return differing == 0;
    });
    EXPECT_EQ(differing, 0);
    EXPECT_GT(shown.GetWidth(), 100);
    Press(dialog, wxID_CANCEL);
  });
  Command(WxId(cmd_software_source));
  base_color = {};
}

}  // namespace
