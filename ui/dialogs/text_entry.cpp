#include "ui/dialogs/text_entry.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/clipbrd.h>
#include <wx/colordlg.h>
#include <wx/fontdlg.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include <algorithm>
#include <cmath>

#include "engine/base/process_state.h"
#include "engine/base/view_core.h"
#include "sources/document.h"
#include "sources/text_entry_rules.h"
#include "sources/text_source.h"
#include "ui/adapters/display_scales.h"
#include "ui/commands/view_link.h"

namespace {

constexpr uint32_t transparent_grey = 0x7F7F7F;
constexpr uint32_t colour_dialog_start = 0x0000FF;  // red
constexpr uint32_t colour_dialog_cancelled = 0x808080;
// The box shows huge fonts smaller, so that it stays usable.
constexpr int max_box_font_pixels = 200;

wxColour ColourOf(uint32_t colorref) { return wxColour(colorref & 0xFFFFFF); }

}  // namespace

wxFont BoxFontOf(const font_description& font) {
  if (font.lfHeight == 0) return wxNullFont;
  const int64_t height = font.lfHeight;
  const int pixels = int(std::clamp<int64_t>(height < 0 ? -height : height, 1, max_box_font_pixels));
  wxFontInfo info(wxSize(0, pixels));
  info.FaceName(wxString::FromUTF8(font.lfFaceName))
      .Italic(font.lfItalic != 0)
      .Underlined(font.lfUnderline != 0)
      .Strikethrough(font.lfStrikeOut != 0);
  wxFont made(info);
  made.SetNumericWeight(font.lfWeight == 0 ? 400 : std::clamp(int(font.lfWeight), 1, 1000));
  return made;
}

text_backgnd::text_backgnd(wxWindow* parent, wxWindowID id)
    : wxTextCtrl(parent, id, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                 wxTE_MULTILINE | wxTE_DONTWRAP | wxHSCROLL) {
  SetLetterColour(text_color);
  SetBackColour(back_color);
}

void text_backgnd::SetLetterColour(uint32_t colour) {
  text_color = colour;
  SetForegroundColour(ColourOf(colour));
  Refresh();
}

void text_backgnd::SetBackColour(uint32_t colour) {
  back_color = colour;
  SetBackgroundColour(ColourOf(colour));
  Refresh();
}

text_entry::text_entry(wxWindow* parent, CvorbelDoc& document, int source_index, bool replacing)
    : wxDialog(parent, wxID_ANY, "Text Entry", wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      document(document),
      source_index(source_index),
      log_font(&document.text_font[source_index]),
      text_buffer(&document.source_text[source_index]),
      transparent(document.text_transparent[source_index] == 1),
      replacing(replacing ? 1 : 0) {
  selected_source = new wxStaticText(
      this, id_selected_source, wxString::Format("Selected Source %d", source_index + 1));
  text_box = new text_backgnd(this, id_text);
  text_box->SetMinSize(ConvertDialogToPixels(wxSize(225, 110)));

  auto* font_row = new wxBoxSizer(wxHORIZONTAL);
  font_row->Add(new wxButton(this, id_set_font, "Set Font"), 0, wxRIGHT, 5);
  font_row->Add(new wxButton(this, id_text_colour, "Text Color"), 0, wxRIGHT, 10);
  underline_box = new wxCheckBox(this, id_underline, "Underline");
  strike_out_box = new wxCheckBox(this, id_strike_out, "Strike-out");
  underline_box->SetValue(log_font->lfUnderline != 0);
  strike_out_box->SetValue(log_font->lfStrikeOut != 0);
  font_row->Add(underline_box, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 10);
  font_row->Add(strike_out_box, 0, wxALIGN_CENTER_VERTICAL);

  auto* text_row = new wxBoxSizer(wxHORIZONTAL);
  text_row->Add(new wxButton(this, id_zap_text, "Zap Text"), 0, wxRIGHT, 5);
  text_row->Add(new wxButton(this, id_paste_text, "Paste text"), 0, wxRIGHT, 5);
  back_colour_button = new wxButton(this, id_back_colour, "Bk Gnd Color");
  text_row->Add(back_colour_button, 0, wxRIGHT, 5);
  if (replacing) {
    try_button = new wxButton(this, id_try_text, "Try Text");
    text_row->Add(try_button, 0);
  }

  transparent_box = new wxCheckBox(this, id_transparent, "Transparent background");
  transparent_box->SetValue(transparent);

  auto* batch_row = new wxBoxSizer(wxHORIZONTAL);
  auto* batch_button = new wxButton(this, id_batch_code, "Batch number code");
  auto* batch_note = new wxStaticText(
      this, id_batch_note,
      "Insert \">n<\" sequence that is replaced with current count when batch vorbeling.");
  batch_note->Wrap(ConvertDialogToPixels(wxSize(150, 0)).x);
  batch_row->Add(batch_button, 0, wxALIGN_TOP | wxRIGHT, 8);
  batch_row->Add(batch_note, 1, wxALIGN_CENTER_VERTICAL);
  if (source_index != 0) {
    batch_button->Disable();
    batch_note->Disable();
  }

  auto* layout = new wxBoxSizer(wxVERTICAL);
  const int gap = 6;
  layout->Add(selected_source, 0, wxALL, gap);
  layout->Add(text_box, 1, wxLEFT | wxRIGHT | wxEXPAND, gap);
  layout->Add(new wxStaticText(this, wxID_ANY, "Use 'enter' key to add new line of text"), 0,
              wxALL, gap);
  layout->Add(font_row, 0, wxALL, gap);
  layout->Add(text_row, 0, wxALL, gap);
  layout->Add(transparent_box, 0, wxALL, gap);
  layout->Add(batch_row, 0, wxALL | wxEXPAND, gap);
  layout->Add(new wxButton(this, id_ok, "Ok"), 0, wxALL | wxALIGN_RIGHT, gap);
  SetSizerAndFit(layout);
  CentreOnParent();

  if (transparent) {
    back_colour_button->Disable();
    text_box->SetBackColour(transparent_grey);
  } else {
    text_box->SetBackColour(text_back_color_ref ? *text_back_color_ref : 0);
  }
  text_box->SetLetterColour(text_color_ref ? *text_color_ref : 0xFFFFFF);
  text_box->ChangeValue(wxString::FromUTF8(BoxFromText(*text_buffer)));

  Bind(wxEVT_BUTTON, &text_entry::OnOkButton, this, id_ok);
  Bind(wxEVT_BUTTON, &text_entry::OnSetFont, this, id_set_font);
  Bind(wxEVT_BUTTON, &text_entry::OnTextColour, this, id_text_colour);
  Bind(wxEVT_CHECKBOX, &text_entry::OnFontEffect, this, id_underline);
  Bind(wxEVT_CHECKBOX, &text_entry::OnFontEffect, this, id_strike_out);
  Bind(wxEVT_BUTTON, &text_entry::OnZapText, this, id_zap_text);
  Bind(wxEVT_BUTTON, &text_entry::OnPasteText, this, id_paste_text);
  Bind(wxEVT_BUTTON, &text_entry::OnBkGndColor, this, id_back_colour);
  Bind(wxEVT_BUTTON, &text_entry::OnTryText, this, id_try_text);
  Bind(wxEVT_CHECKBOX, &text_entry::OnTransparent, this, id_transparent);
  Bind(wxEVT_BUTTON, &text_entry::OnBatchNumberCode, this, id_batch_code);
  Bind(wxEVT_TEXT, &text_entry::OnTextChange, this, id_text);
  Bind(wxEVT_CHAR_HOOK, &text_entry::OnCharHook, this);
  Bind(wxEVT_CLOSE_WINDOW, &text_entry::OnClose, this);
}

text_entry::~text_entry() = default;

void text_entry::ApplyText() {
  transparent = transparent_box->GetValue();
  ApplyTextEntry(document, source_index, text_box->GetValue().utf8_string(), transparent);
  replacing = 1;
}

void text_entry::OnOkButton(wxCommandEvent&) {
  ApplyText();
  EndModal(wxID_OK);
}

void text_entry::OnTryText(wxCommandEvent&) {
  ApplyText();
  if (auto* view = dynamic_cast<view_link*>(the_view)) view->RefreshSources();
}

void text_entry::ShowBoxFont() {
  font = std::make_unique<wxFont>(BoxFontOf(*log_font));
  text_box->SetFont(font->IsOk() ? *font : GetFont());
  text_box->Refresh();
}

void text_entry::OnSetFont(wxCommandEvent&) {
  font_description chosen = *log_font;
  // The font stays as it was unless the chooser ends with OK.
  if (AskFont(chosen)) *log_font = chosen;
  ShowBoxFont();
}

void text_entry::OnTextColour(wxCommandEvent&) {
  uint32_t colour = text_color_ref ? *text_color_ref : text_box->text_color;
  if (!AskColour(colour)) return;
  if (text_color_ref) *text_color_ref = colour;
  text_box->SetLetterColour(colour);
}

void text_entry::OnFontEffect(wxCommandEvent&) {
  log_font->lfUnderline = underline_box->GetValue() ? 1 : 0;
  log_font->lfStrikeOut = strike_out_box->GetValue() ? 1 : 0;
  ShowBoxFont();
}

void text_entry::OnZapText(wxCommandEvent&) {
  text_buffer->clear();
  text_box->ChangeValue(wxString());
  text_box->Refresh();
}

void text_entry::OnPasteText(wxCommandEvent&) {
  long from = 0, to = 0;
  text_box->GetSelection(&from, &to);
  text_box->Replace(from, to, wxString::FromUTF8(ClipboardText()));
  *text_buffer = PastedText(text_box->GetValue().utf8_string());
  text_box->ChangeValue(wxString::FromUTF8(BoxFromText(*text_buffer)));
}

void text_entry::OnBkGndColor(wxCommandEvent&) {
  uint32_t colour = colour_dialog_start;
  if (!AskColour(colour)) colour = colour_dialog_cancelled;
  if (text_back_color_ref) *text_back_color_ref = colour;
  text_box->SetBackColour(colour);
}

void text_entry::OnTransparent(wxCommandEvent&) {
  transparent = transparent_box->GetValue();
  back_colour_button->Enable(!transparent);
  text_box->SetBackColour(transparent ? transparent_grey
                                      : (text_back_color_ref ? *text_back_color_ref : 0));
}

void text_entry::OnBatchNumberCode(wxCommandEvent&) {
  long from = 0, to = 0;
  text_box->GetSelection(&from, &to);
  text_box->SetSelection(from, from);
  text_box->ShowPosition(from);
  text_box->WriteText(">n<");
}

void text_entry::OnTextChange(wxCommandEvent&) {
  if (font && font->IsOk()) text_box->SetFont(*font);
  text_box->Refresh();
}

void text_entry::OnCharHook(wxKeyEvent& event) {
  // The dialog has no Cancel button for wx to find: Escape cancels here.
  if (event.GetKeyCode() == WXK_ESCAPE && IsModal()) {
    EndModal(wxID_CANCEL);
    return;
  }
  event.Skip();
}

void text_entry::OnClose(wxCloseEvent& event) {
  if (IsModal()) {
    EndModal(wxID_CANCEL);
    return;
  }
  event.Skip();
}

bool text_entry::AskFont(font_description& chosen) {
  wxFontData data;
  data.SetInitialFont(BoxFontOf(chosen));
  data.EnableEffects(false);
  wxFontDialog dialog(this, data);
  if (dialog.ShowModal() != wxID_OK) return false;
  const wxFont picked = dialog.GetFontData().GetChosenFont();
  if (!picked.IsOk()) return false;
  chosen.lfFaceName = picked.GetFaceName().utf8_string();
  const double pixels = picked.GetFractionalPointSize() * 96.0 * display_scales::dpi_y / 72.0;
  chosen.lfHeight = -std::max(1, int(std::lround(pixels)));
  chosen.lfWeight = picked.GetNumericWeight();
  chosen.lfItalic = picked.GetStyle() == wxFONTSTYLE_NORMAL ? 0 : 1;
  return true;
}

bool text_entry::AskColour(uint32_t& colour) {
  wxColourData data;
  data.SetChooseFull(true);
  data.SetColour(ColourOf(colour));
  wxColourDialog dialog(this, &data);
  if (dialog.ShowModal() != wxID_OK) return false;
  colour = dialog.GetColourData().GetColour().GetRGB() & 0xFFFFFF;
  return true;
}

std::string text_entry::ClipboardText() {
  wxClipboardLocker lock;
  if (!lock || !wxTheClipboard->IsSupported(wxDF_UNICODETEXT)) return {};
  wxTextDataObject data;
  if (!wxTheClipboard->GetData(data)) return {};
  return data.GetText().utf8_string();
}
