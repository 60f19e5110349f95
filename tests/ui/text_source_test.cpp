#include <optional>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/clipbrd.h>
#include <wx/stattext.h>

#include "sources/document.h"
#include "sources/text_entry_rules.h"
#include "sources/text_source.h"
#include "tests/ui/app_fixture.h"
#include "ui/text_entry.h"
#include "ui/view.h"

namespace {

using text_road = app_fixture;

// The dialog with its colour and font choosers answering from the test.
class scripted_text_entry : public text_entry {
 public:
  using text_entry::text_entry;
  std::optional<uint32_t> colour_answer;  // none: cancelled
  std::vector<uint32_t> colours_asked;
  std::optional<font_description> font_answer;

  template <typename control>
  control* Control(int id) {
    return dynamic_cast<control*>(FindWindow(id));
  }
  void Press(int id) {
    wxCommandEvent event(dynamic_cast<wxCheckBox*>(FindWindow(id)) ? wxEVT_CHECKBOX : wxEVT_BUTTON, id);
    event.SetEventObject(FindWindow(id));
    ProcessWindowEvent(event);
  }
  std::string BoxText() const { return Box()->GetValue().utf8_string(); }

 protected:
  bool AskColour(uint32_t& colour) override {
    colours_asked.push_back(colour);
    if (colour_answer) colour = *colour_answer;
    return colour_answer.has_value();
  }
  bool AskFont(font_description& font) override {
    font.lfHeight = 12345;  // what a chooser may leave behind when cancelled
    if (font_answer) font = *font_answer;
    return font_answer.has_value();
  }
};

class text_dialog : public app_fixture {
 protected:
  void SetUp() override {
    app_fixture::SetUp();
    Start();
  }
  CvorbelDoc& Doc() { return *app.Document(); }
  std::unique_ptr<scripted_text_entry> Open(int i, bool replacing) {
    text_color_ref = &Doc().text_color[i];
    text_back_color_ref = &Doc().text_back_color[i];
    return std::make_unique<scripted_text_entry>(app.Frame(), Doc(), i, replacing);
  }
  static uint32_t Back(const scripted_text_entry& d) { return d.Box()->GetBackgroundColour().GetRGB(); }
};

bool Answer(CvorbelDoc& document, int index, const std::string& box) {
  ApplyTextEntry(document, index, box, false);
  return true;
}

}  // namespace

TEST_F(text_road, NewTextSourcesAreCountedAndCancelGivesTheCountBack) {
  Start();
  CvorbelDoc& doc = *app.Document();
  CvorbelView* view = app.Frame()->View();
  EXPECT_TRUE(Enabled(cmd_open_text));
  Command(cmd_load_text);
  EXPECT_EQ(app.port->text_dialogs, 1);
  EXPECT_EQ(source_count, 0);

  app.port->text_answer = [](CvorbelDoc& d, int i, bool replacing) {
    EXPECT_FALSE(replacing);
    return Answer(d, i, "first");
  };
  Command(cmd_load_text);
  ASSERT_EQ(source_count, 1);
  EXPECT_EQ(doc.source_kind[0], kind_text);
  EXPECT_EQ(doc.source_text[0], "first\r\n");
  EXPECT_EQ(app.port->labels[1], "TEXT Source 1");
  EXPECT_GT(doc.image_size[0].width, 16);
  EXPECT_NE(view->start_buttons[0], nullptr);

  // The T key in the view is "Open text"; with it the second source arrives.
  wxKeyEvent key(wxEVT_KEY_DOWN);
  key.m_keyCode = 'T';
  view->GetEventHandler()->ProcessEvent(key);
  ASSERT_EQ(source_count, 2);
  EXPECT_EQ(app.port->labels[2], "TEXT Source 2");
  EXPECT_EQ(view->start_buttons[0], nullptr);
  EXPECT_EQ(target_width, 1024);
  EXPECT_TRUE(Messages().empty());

  wic_ready = false;
  Command(WxId(cmd_open_text));
  EXPECT_EQ(Messages(), (message_list{{imaging_refusal, message_icon::error}}));
  EXPECT_FALSE(Enabled(cmd_open_text));
  wic_ready = true;
}

TEST_F(text_road, ReplacingKeepsTheOldSourceUntilTheDialogEndsWithOk) {
  Start({PlainImage("one.png", 40, 30, 200, 0, 0), PlainImage("two.png", 40, 30, 0, 0, 200)});
  CvorbelDoc& doc = *app.Document();
  app.port->text_answer = [](CvorbelDoc& d, int i, bool) { return Answer(d, i, "never"); };
  Command(cmd_load_text);  // Cancel in the replace dialog
  EXPECT_EQ(app.port->text_dialogs, 0);

  app.port->replace_choice = 130;
  app.port->text_answer = nullptr;
  Command(cmd_load_text);
  EXPECT_EQ(source_count, 2);
  EXPECT_EQ(doc.source_kind[1], kind_file);
  EXPECT_FALSE(doc.file_name[1].empty());

  app.port->text_answer = [](CvorbelDoc& d, int i, bool replacing) {
    EXPECT_TRUE(replacing);
    EXPECT_EQ(i, 1);
    d.text_transparent[i] = 1;
    ApplyTextEntry(d, i, "Over the photo", true);
    return true;
  };
  Command(cmd_load_text);
  EXPECT_EQ(doc.source_kind[1], kind_text);
  EXPECT_TRUE(doc.file_name[1].empty());
  EXPECT_EQ(app.port->labels[2], "TEXT Source 2");
  EXPECT_EQ(doc.source_image[1].mask[0], 0);  // the background leaves the target uncovered
}

TEST_F(text_dialog, StartsFromTheDocumentAndTheSource) {
  Doc().source_text[1] = "one\r\ntwo";
  Doc().text_color[1] = 0x0000FF;
  Doc().text_back_color[1] = 0x00FF00;
  auto dialog = Open(1, false);
  EXPECT_EQ(dialog->BoxText(), "one\ntwo");
  EXPECT_EQ(dialog->Box()->GetForegroundColour().GetRGB(), 0x0000FFu);
  EXPECT_EQ(Back(*dialog), 0x00FF00u);
  EXPECT_EQ(dialog->Control<wxStaticText>(text_entry::id_selected_source)->GetLabel(), "Selected Source 2");
  EXPECT_EQ(dialog->FindWindow(text_entry::id_try_text), nullptr);
  EXPECT_FALSE(dialog->FindWindow(text_entry::id_batch_code)->IsEnabled());
  EXPECT_FALSE(dialog->FindWindow(text_entry::id_batch_note)->IsEnabled());

  Doc().text_transparent[0] = 1;
  auto first = Open(0, true);
  EXPECT_NE(first->FindWindow(text_entry::id_try_text), nullptr);
  EXPECT_TRUE(first->FindWindow(text_entry::id_batch_code)->IsEnabled());
  EXPECT_FALSE(first->FindWindow(text_entry::id_back_colour)->IsEnabled());
  EXPECT_EQ(Back(*first), 0x7F7F7Fu);
}

TEST_F(text_dialog, ZapPasteAndTheBatchNumberCode) {
  Doc().source_text[0] = "old text that is long";
  auto dialog = Open(0, false);
  dialog->Press(text_entry::id_zap_text);
  EXPECT_EQ(dialog->BoxText(), "");
  EXPECT_EQ(Doc().source_text[0], "");

  dialog->Box()->ChangeValue("abcdef");
  dialog->Box()->SetSelection(2, 4);
  dialog->Press(text_entry::id_batch_code);
  EXPECT_EQ(dialog->BoxText(), "ab>n<cdef");

  // A paste replaces the selection; tabs arrive as four spaces.
  {
    wxClipboardLocker lock;
    ASSERT_TRUE(!!lock);
    wxTheClipboard->SetData(new wxTextDataObject("x\ty\nz"));
  }
  Settle();
  dialog->Box()->ChangeValue("a long text before");
  dialog->Box()->SetSelection(-1, -1);
  dialog->Press(text_entry::id_paste_text);
  EXPECT_EQ(dialog->BoxText(), "x    y\nz");
  EXPECT_EQ(Doc().source_text[0], "x    y\r\nz");
}

TEST_F(text_dialog, ColoursTransparencyAndFontEditTheDocumentAtOnce) {
  Doc().text_back_color[0] = 0x123456;
  auto dialog = Open(0, false);
  dialog->Control<wxCheckBox>(text_entry::id_transparent)->SetValue(true);
  dialog->Press(text_entry::id_transparent);
  EXPECT_FALSE(dialog->FindWindow(text_entry::id_back_colour)->IsEnabled());
  EXPECT_EQ(Back(*dialog), 0x7F7F7Fu);
  dialog->Control<wxCheckBox>(text_entry::id_transparent)->SetValue(false);
  dialog->Press(text_entry::id_transparent);
  EXPECT_TRUE(dialog->FindWindow(text_entry::id_back_colour)->IsEnabled());
  EXPECT_EQ(Back(*dialog), 0x123456u);

  // The background chooser starts on red; Cancel sets grey.
  dialog->Press(text_entry::id_back_colour);
  EXPECT_EQ(Doc().text_back_color[0], 0x808080u);
  dialog->colour_answer = 0x00AA00;
  dialog->Press(text_entry::id_back_colour);
  EXPECT_EQ(Doc().text_back_color[0], 0x00AA00u);
  dialog->Press(text_entry::id_text_colour);
  EXPECT_EQ(Doc().text_color[0], 0x00AA00u);
  EXPECT_EQ(dialog->colours_asked, (std::vector<uint32_t>{0x0000FF, 0x0000FF, 0xFFFFFF}));

  dialog->Press(text_entry::id_set_font);
  EXPECT_EQ(Doc().text_font[0].lfHeight, -27);  // cancelled: unchanged
  font_description arial;
  arial.lfFaceName = "Arial";
  arial.lfHeight = -40;
  dialog->font_answer = arial;
  dialog->Press(text_entry::id_set_font);
  dialog->Control<wxCheckBox>(text_entry::id_underline)->SetValue(true);
  dialog->Press(text_entry::id_underline);
  EXPECT_EQ(Doc().text_font[0].lfFaceName, "Arial");
  EXPECT_EQ(Doc().text_font[0].lfHeight, -40);
  EXPECT_EQ(Doc().text_font[0].lfUnderline, 1);
  EXPECT_EQ(Doc().text_font[0].lfStrikeOut, 0);
  EXPECT_EQ(dialog->Box()->GetFont().GetFaceName(), "Arial");
}

TEST_F(text_dialog, OkRendersTheBoxAndEscapeCancels) {
  auto dialog = Open(0, false);
  dialog->CallAfter([&] {
    dialog->Box()->ChangeValue("");
    dialog->Press(text_entry::id_ok);
  });
  EXPECT_EQ(dialog->ShowModal(), wxID_OK);
  EXPECT_EQ(Doc().source_text[0], "Empty text box\r\n");
  EXPECT_GT(Doc().image_size[0].width, 100);
  EXPECT_TRUE(dialog->Replacing());

  dialog->CallAfter([&] {
    wxKeyEvent escape(wxEVT_CHAR_HOOK);
    escape.m_keyCode = WXK_ESCAPE;
    dialog->ProcessWindowEvent(escape);
  });
  EXPECT_EQ(dialog->ShowModal(), wxID_CANCEL);
  dialog->CallAfter([&] { dialog->Close(); });
  EXPECT_EQ(dialog->ShowModal(), wxID_CANCEL);
}

TEST_F(text_dialog, TryTextRecombinesWhileTheDialogStaysOpen) {
  ASSERT_TRUE(app.OpenDocumentFile(PlainImage("one.png", 40, 30, 200, 0, 0)));
  ASSERT_TRUE(app.OpenDocumentFile(PlainImage("two.png", 40, 30, 0, 0, 200)));
  const bgra before = target_pixels[0];
  auto dialog = Open(1, true);
  dialog->Box()->ChangeValue("tried");
  dialog->Press(text_entry::id_try_text);
  EXPECT_EQ(Doc().source_text[1], "tried\r\n");
  EXPECT_EQ(Doc().image_size[1].height % 4, 0);
  EXPECT_NE(target_pixels[0].blue, before.blue);  // white letters on black instead of blue
  EXPECT_EQ(app.Frame()->View()->start_buttons[0], nullptr);
}
