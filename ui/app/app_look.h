#pragma once
#include <wx/colour.h>

class wxAuiManager;
class wxMenuItem;

// The user-interface looks (ids 210 to 218), drawn here as colour schemes of the
// docking captions, the dock background and the status bar.
struct app_look_style {
  int id;
  const char* menu_text;
  wxColour background;
  wxColour active_caption;
  wxColour active_caption_end;
  wxColour active_caption_text;
  wxColour inactive_caption;
  wxColour inactive_caption_end;
  wxColour inactive_caption_text;
  int gradient;  // wxAUI_GRADIENT_NONE, _VERTICAL or _HORIZONTAL
};

inline constexpr int first_look_id = 210;
inline constexpr int last_look_id = 218;
inline constexpr int default_look_id = 215;

// The style of a look id. An id outside the table keeps the last of the four
// "Office 2007" styles that was chosen (the blue one before any).
const app_look_style& LookStyle(int id);

void ApplyLookToDocking(const app_look_style& style, wxAuiManager& manager);

// The looks are one choice among many: their check items show a radio mark. Each
// keeps its own check state, so one mark can span the look menu and its
// "Office 2007" submenu.
void ShowAsRadioMark(wxMenuItem* item);
