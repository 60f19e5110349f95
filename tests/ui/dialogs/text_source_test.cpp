#include <optional>

#include <wx/checkbox.h>
#include <wx/clipbrd.h>
#include <wx/stattext.h>

#include "sources/document.h"
#include "sources/text_entry_rules.h"
#include "sources/text_source.h"
#include "tests/ui/app_fixture.h"
#include "ui/dialogs/text_entry.h"
#include "ui/view/view.h"

namespace {

// The dialog with its colour and font choosers answering from the test.
class scripted_text_entry : public text_entry {
 public:
  using text_entry::text_entry;
  std::optional<uint32_t> colour_answer;  // none: cancelled
  std::vector<uint32_t> colours_asked;

  // Clicks a button, or sets a check box to check and tells the dialog.
  void Press(int id, bool check = false) {
    auto* box = dynamic_cast<wxCheckBox*>(FindWindow(id));
    if (box) box->SetValue(check);
    wxCommandEvent event(box ? wxEVT_CHECKBOX : wxEVT_BUTTON, id);
    ProcessWindowEvent(event);
  }
  bool On(int id) const { return FindWindow(id)->IsEnabled(); }
  std::string Text() const { return Box()->GetValue().utf8_string(); }
  uint32_t Back() const { return Box()->GetBackgroundColour().GetRGB(); }

 protected:
  bool AskColour(uint32_t& colour) override {
    colours_asked.push_back(colour);
    if (colour_answer) colour = *colour_answer;
    return colour_answer.has_value();
  }
};

class text_source_ui : public app_fixture {
 protected:
  CvorbelDoc& Doc() { return *app.Document(); }
  std::unique_ptr<scripted_text_entry> Open(int i, bool replacing) {
    text_color_ref = &Doc().text_color[i];
    text_back_color_ref = &Doc().text_back_color[i];
    return std::make_unique<scripted_text_entry>(app.Frame(), Doc(), i, replacing);
  }
  void Answer(const std::string& box, bool transparent = false) {
    app.port->text_answer = [=](CvorbelDoc& d, int i, bool) { return ApplyTextEntry(d, i, box, transparent), true; };
  }
};

}  // namespace

TEST_F(text_source_ui, TheTextRoadCountsReplacesAndGivesBackOnCancel) {
  Start();
  CvorbelView* view = app.Frame()->View();
  Command(cmd_load_text);  // cancelled
  EXPECT_EQ(app.port->text_dialogs, 1);
  EXPECT_EQ(source_count, 0);
  Answer("first");
  Command(cmd_load_text);
  ASSERT_EQ(source_count, 1);
  EXPECT_EQ(Doc().source_kind[0], kind_text);
  EXPECT_EQ(app.port->labels[1], "TEXT Source 1");
  EXPECT_NE(view->start_buttons[0], nullptr);

  // The T key in the view is "Open text".
  ASSERT_TRUE(app.OpenDocumentFile(PlainImage("two.png", 40, 30, 0, 0, 200)));
  wxKeyEvent key(wxEVT_KEY_DOWN);
  key.m_keyCode = 'T';
  app.port->replace_choice = 130;
  app.port->text_answer = nullptr;
  view->GetEventHandler()->ProcessEvent(key);
  EXPECT_EQ(Doc().source_kind[1], kind_file);  // Cancel keeps the replaced source as it was
  EXPECT_FALSE(Doc().file_name[1].empty());
  Answer("over the photo", true);
  view->GetEventHandler()->ProcessEvent(key);
  EXPECT_EQ(source_count, 2);
  EXPECT_EQ(Doc().source_kind[1], kind_text);
  EXPECT_TRUE(Doc().file_name[1].empty());
  EXPECT_EQ(app.port->labels[2], "TEXT Source 2");
  EXPECT_EQ(Doc().source_image[1].mask[0], 0);
  EXPECT_EQ(view->start_buttons[0], nullptr);
  EXPECT_TRUE(Messages().empty());

  wic_ready = false;
  EXPECT_FALSE(Enabled(cmd_open_text));
  Command(WxId(cmd_open_text));
  EXPECT_EQ(Messages(), (message_list{{imaging_refusal, message_icon::error}}));
  wic_ready = true;
}

TEST_F(text_source_ui, DialogControlsFollowTheSourceAndEditTheTextInPlace) {
  Start();
  Doc().source_text[1] = "one\r\ntwo";
  Doc().text_back_color[1] = 0x00FF00;
  auto second = Open(1, false);
  EXPECT_EQ(second->Text(), "one\ntwo");
  EXPECT_EQ(second->Back(), 0x00FF00u);
  EXPECT_EQ(second->FindWindow(text_entry::id_selected_source)->GetLabel(), "Selected Source 2");
  EXPECT_EQ(second->FindWindow(text_entry::id_try_text), nullptr);
  EXPECT_FALSE(second->On(text_entry::id_batch_code) || second->On(text_entry::id_batch_note));

  auto dialog = Open(0, true);
  EXPECT_NE(dialog->FindWindow(text_entry::id_try_text), nullptr);
  dialog->Press(text_entry::id_zap_text);
  EXPECT_EQ(dialog->Text() + Doc().source_text[0], "");
  dialog->Box()->ChangeValue("abcdef");
  dialog->Box()->SetSelection(2, 4);
  dialog->Press(text_entry::id_batch_code);
  EXPECT_EQ(dialog->Text(), "ab>n<cdef");

  // A paste replaces the selection; tabs arrive as four spaces.
  {
    wxClipboardLocker lock;
    ASSERT_TRUE(!!lock);
    wxTheClipboard->SetData(new wxTextDataObject("x\ty\nz"));
  }
  dialog->Box()->SetSelection(-1, -1);
  dialog->Press(text_entry::id_paste_text);
  EXPECT_EQ(dialog->Text(), "x    y\nz");
  EXPECT_EQ(Doc().source_text[0], "x    y\r\nz");
}

TEST_F(text_source_ui, ColoursTransparencyAndUnderlineChangeTheDocumentAtOnce) {
  Start();
  Doc().text_back_color[0] = 0x123456;
  auto dialog = Open(0, false);
  dialog->Press(text_entry::id_transparent, true);
  EXPECT_FALSE(dialog->On(text_entry::id_back_colour));
  EXPECT_EQ(dialog->Back(), 0x7F7F7Fu);
  dialog->Press(text_entry::id_transparent, false);
  EXPECT_TRUE(dialog->On(text_entry::id_back_colour));
  EXPECT_EQ(dialog->Back(), 0x123456u);

  dialog->Press(text_entry::id_back_colour);  // Cancel sets grey
  EXPECT_EQ(Doc().text_back_color[0], 0x808080u);
  dialog->colour_answer = 0x00AA00;
  dialog->Press(text_entry::id_back_colour);
  dialog->Press(text_entry::id_text_colour);
  EXPECT_EQ(Doc().text_back_color[0] + Doc().text_color[0], 2 * 0x00AA00u);
  EXPECT_EQ(dialog->colours_asked, (std::vector<uint32_t>{0x0000FF, 0x0000FF, 0xFFFFFF}));

  dialog->Press(text_entry::id_underline, true);
  EXPECT_EQ(Doc().text_font[0].lfUnderline + Doc().text_font[0].lfStrikeOut, 1);
  EXPECT_TRUE(dialog->Box()->GetFont().GetUnderlined());
}

TEST_F(text_source_ui, OkAndTryTextRenderEscapeAndCloseCancel) {
  Start({PlainImage("one.png", 40, 30, 200, 0, 0), PlainImage("two.png", 40, 30, 0, 0, 200)});
  auto dialog = Open(1, true);
  const bgra before = target_pixels[0];
  dialog->Box()->ChangeValue("tried");
  dialog->Press(text_entry::id_try_text);
  EXPECT_EQ(Doc().source_text[1], "tried\r\n");
  EXPECT_NE(target_pixels[0].blue, before.blue);  // recombined with white letters on black

  dialog->CallAfter([&] {
    dialog->Box()->ChangeValue("");
    dialog->Press(text_entry::id_ok);
  });
  EXPECT_EQ(dialog->ShowModal(), wxID_OK);
  EXPECT_EQ(Doc().source_text[1], "Empty text box\r\n");
  EXPECT_GT(Doc().image_size[1].width, 100);

  dialog->CallAfter([&] {
    wxKeyEvent escape(wxEVT_CHAR_HOOK);
    escape.m_keyCode = WXK_ESCAPE;
    dialog->ProcessWindowEvent(escape);
  });
  EXPECT_EQ(dialog->ShowModal(), wxID_CANCEL);
  dialog->CallAfter([&] { dialog->Close(); });
  EXPECT_EQ(dialog->ShowModal(), wxID_CANCEL);
}
