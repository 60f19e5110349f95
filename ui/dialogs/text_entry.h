#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include <wx/dialog.h>
#include <wx/textctrl.h>

class CvorbelDoc;
struct font_description;
class wxButton;
class wxCheckBox;
class wxStaticText;

// The multi-line box in which a text source is written, shown in the source's own
// letter and background colours.
class text_backgnd : public wxTextCtrl {
 public:
  text_backgnd(wxWindow* parent, wxWindowID id);

  // Colours are COLORREF values (red in the low byte).
  void SetLetterColour(uint32_t colour);
  void SetBackColour(uint32_t colour);

  uint32_t text_color = 0xFFFFFF;
  uint32_t back_color = 0x000000;
};

// The modal dialog in which the user writes text source index 0 or 1, chooses its
// font and colours and, for source 1, inserts the batch number code. It edits the
// document's text, font and colours in place; "Ok" and "Try Text" render the source.
class text_entry : public wxDialog {
 public:
  enum : int {
    id_text = 315,
    id_transparent = 316,
    id_ok = 317,
    id_set_font = 318,
    id_zap_text = 319,
    id_paste_text = 320,
    id_back_colour = 321,
    id_try_text = 322,
    id_selected_source = 323,
    id_batch_code = 1291,
    id_batch_note = 1292,
    // GTK's font chooser has no colour, underline or strike-out: they sit beside it.
    id_text_colour = 1293,
    id_underline = 1294,
    id_strike_out = 1295,
  };

  text_entry(wxWindow* parent, CvorbelDoc& document, int source_index, bool replacing);
  ~text_entry() override;

  void OnOkButton(wxCommandEvent& event);
  void OnSetFont(wxCommandEvent& event);
  void OnTextColour(wxCommandEvent& event);
  void OnFontEffect(wxCommandEvent& event);
  void OnZapText(wxCommandEvent& event);
  void OnPasteText(wxCommandEvent& event);
  void OnBkGndColor(wxCommandEvent& event);
  void OnTryText(wxCommandEvent& event);
  void OnTransparent(wxCommandEvent& event);
  void OnBatchNumberCode(wxCommandEvent& event);
  void OnTextChange(wxCommandEvent& event);
  // The apply step of "Ok" and "Try Text": the box's text into the document, render.
  void ApplyText();

  text_backgnd* Box() const { return text_box; }
  bool Replacing() const { return replacing != 0; }

 protected:
  // The font chooser, started from font; on OK writes face, height, weight and
  // slant into font and returns true.
  virtual bool AskFont(font_description& font);
  // The colour chooser, opened full and started from colour; on OK writes the
  // chosen COLORREF into colour and returns true.
  virtual bool AskColour(uint32_t& colour);
  // The clipboard's text; empty when it holds none.
  virtual std::string ClipboardText();

 private:
  void OnCharHook(wxKeyEvent& event);
  void OnClose(wxCloseEvent& event);
  void ShowBoxFont();

  CvorbelDoc& document;
  int source_index;
  text_backgnd* text_box = nullptr;
  std::unique_ptr<wxFont> font;  // the box's font; none until "Set Font" makes it
  font_description* log_font;
  std::string* text_buffer;
  bool transparent = false;
  int replacing;
  wxCheckBox* transparent_box = nullptr;
  wxCheckBox* underline_box = nullptr;
  wxCheckBox* strike_out_box = nullptr;
  wxButton* back_colour_button = nullptr;
  wxButton* try_button = nullptr;
  wxStaticText* selected_source = nullptr;
};

// The font the box shows for a font description.
wxFont BoxFontOf(const font_description& font);
