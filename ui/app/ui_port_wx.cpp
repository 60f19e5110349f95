#include "ui/app/ui_port_wx.h"

#include <wx/app.h>
#include <wx/msgdlg.h>

#include "engine/base/view_core.h"
#include "sources/text_source.h"
#include "ui/adapters/save_file_dialog.h"
#include "ui/adapters/screen_flush.h"
#include "ui/adapters/status_bar.h"
#include "ui/app/app.h"
#include "ui/commands/pane_command_ids.h"
#include "ui/dialogs/replace_source.h"
#include "ui/dialogs/text_entry.h"
#include "ui/pane/grid_properties.h"
#include "ui/pane/properties_pane.h"

namespace {

const char* const message_caption = "vorbel";

long IconStyle(message_icon icon) {
  switch (icon) {
    case message_icon::error:
      return wxICON_ERROR;
    case message_icon::warning:
      return wxICON_WARNING;
    case message_icon::information:
      return wxICON_INFORMATION;
    case message_icon::question:
      return wxICON_QUESTION;
    case message_icon::none:
      break;
  }
  return wxICON_NONE;
}

wxWindow* MessageParent() { return wxTheApp ? wxTheApp->GetTopWindow() : nullptr; }

}  // namespace

std::string FrameTitle(const std::string& document_title) {
  return document_title.empty() ? "Vorbel" : document_title + " - Vorbel";
}

void wx_ui_port::ShowStatusProgress(uint32_t colour, int percent) {
  if (the_status_bar) the_status_bar->ShowStatusProgress(colour, percent);
}

void wx_ui_port::ShowStatusText(const std::string& text) {
  if (the_status_bar) the_status_bar->ShowStatusText(text);
}

void wx_ui_port::RedrawStats() {
  if (!the_stats) return;
  the_stats->Refresh(true);
  PaintNow(*the_stats);
}

void wx_ui_port::SetSourceFileName(const std::string& text, int s) {
  if (!the_properties_pane || (s != 1 && s != 2)) return;
  file_names* strip = s == 1 ? the_properties_pane->file_name_1 : the_properties_pane->file_name_2;
  strip->SetFileName(text, s);
  strip->Refresh();
  PaintNow(*strip);
}

int wx_ui_port::MessageBox(const std::string& text, message_icon icon) {
  wxMessageBox(wxString::FromUTF8(text), message_caption, wxOK | IconStyle(icon),
               MessageParent());
  return 1;
}

bool wx_ui_port::AskYesNo(const std::string& text) {
  return wxMessageBox(wxString::FromUTF8(text), message_caption,
                      wxYES_NO | wxNO_DEFAULT | wxICON_WARNING, MessageParent()) == wxYES;
}

int wx_ui_port::RunReplaceSource() { return RunReplaceSourceDialog(MessageParent()); }

bool wx_ui_port::RunTextEntry(CvorbelDoc& document, int index, bool replacing) {
  text_entry dialog(MessageParent(), document, index, replacing);
  return dialog.ShowModal() == wxID_OK;
}

bool wx_ui_port::AskSaveFileName(save_file_request& request) {
  return RunSaveFileDialog(MessageParent(), request);
}

void wx_ui_port::ShowFontSize(int s, int height) {
  if (!the_properties_pane || (s != 1 && s != 2)) return;
  const int points = FontPointSize(height, display_scales::dpi_y);
  (s == 1 ? the_properties_pane->font_size_1 : the_properties_pane->font_size_2)
      ->SetText(wxString::Format("%d", points));
}

void wx_ui_port::MoveSourceToFixPosition(int s) {
  if (the_view) the_view->MoveSourceToFixPosition(s);
}

void wx_ui_port::SetScaleProperty(int s, int axis, int percent) {
  wxPGProperty* property = s == 1 ? (axis == 0 ? prop_vscale_1 : prop_hscale_1)
                                  : (axis == 0 ? prop_vscale_2 : prop_hscale_2);
  if (property) property->SetValue(long(percent));
}

void wx_ui_port::SetFitProperty(int s, bool fit) {
  if (wxPGProperty* property = s == 1 ? prop_fit_1 : prop_fit_2) property->SetValue(fit);
}

void wx_ui_port::SetMirrorImage(int s, bool mirrored) {
  if (!the_properties_pane) return;
  flat_image_button* button =
      s == 1 ? the_properties_pane->mirror_button_1 : the_properties_pane->mirror_button_2;
  if (!button) return;
  const int flipped = s == 1 ? image_mirrored_1 : image_mirrored_2;
  const int plain = s == 1 ? cmd_mirror_1 : cmd_mirror_2;
  const int image = mirrored ? flipped : plain;
  button->SetImage(image);
}

void wx_ui_port::AdjustLayout() {
  if (the_properties_pane) the_properties_pane->AdjustLayout();
}

void wx_ui_port::SetDocumentTitle(const std::string& title) {
  if (wxWindow* top = MessageParent()) top->SetLabel(wxString::FromUTF8(FrameTitle(title)));
}
