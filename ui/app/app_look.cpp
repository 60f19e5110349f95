#include "ui/app/app_look.h"

#include <gtk/gtk.h>

#include <wx/aui/aui.h>
#include <wx/menuitem.h>

namespace {

const app_look_style looks[] = {
    {210, "Windows &2000", wxColour(0xD4, 0xD0, 0xC8), wxColour(0x0A, 0x24, 0x6A),
     wxColour(0xA6, 0xCA, 0xF0), *wxWHITE, wxColour(0x80, 0x80, 0x80),
     wxColour(0xC0, 0xC0, 0xC0), wxColour(0xD4, 0xD0, 0xC8), wxAUI_GRADIENT_HORIZONTAL},
    {211, "Office &XP", wxColour(0xF0, 0xF0, 0xF0), wxColour(0xC1, 0xD2, 0xEE),
     wxColour(0xC1, 0xD2, 0xEE), *wxBLACK, wxColour(0xD4, 0xD0, 0xC8),
     wxColour(0xD4, 0xD0, 0xC8), *wxBLACK, wxAUI_GRADIENT_NONE},
    {212, "&Windows XP", wxColour(0xEC, 0xE9, 0xD8), wxColour(0x00, 0x54, 0xE3),
     wxColour(0x3D, 0x95, 0xFF), *wxWHITE, wxColour(0x7A, 0x96, 0xDF),
     wxColour(0xA6, 0xB8, 0xE8), *wxWHITE, wxAUI_GRADIENT_VERTICAL},
    {213, "Office 200&3", wxColour(0xC4, 0xDA, 0xFA), wxColour(0xFF, 0xD5, 0x8D),
     wxColour(0xF9, 0xB5, 0x52), *wxBLACK, wxColour(0x9E, 0xBE, 0xF5),
     wxColour(0xC4, 0xDA, 0xFA), *wxBLACK, wxAUI_GRADIENT_VERTICAL},
    {214, "Visual Studio.NET 200&5", wxColour(0xF0, 0xEF, 0xE7), wxColour(0x31, 0x6A, 0xC5),
     wxColour(0x99, 0xB4, 0xD1), *wxWHITE, wxColour(0xD6, 0xD3, 0xCE),
     wxColour(0xF0, 0xEF, 0xEA), *wxBLACK, wxAUI_GRADIENT_HORIZONTAL},
    {215, "&Blue Style", wxColour(0xBF, 0xDB, 0xFF), wxColour(0xFF, 0xDA, 0x8B),
     wxColour(0xFF, 0xC9, 0x66), wxColour(0x15, 0x42, 0x8B), wxColour(0xE3, 0xEF, 0xFF),
     wxColour(0xC4, 0xDD, 0xFF), wxColour(0x15, 0x42, 0x8B), wxAUI_GRADIENT_VERTICAL},
    {216, "B&lack Style", wxColour(0x53, 0x53, 0x53), wxColour(0xFF, 0xD7, 0x78),
     wxColour(0xFF, 0xBD, 0x4C), *wxBLACK, wxColour(0xB6, 0xB6, 0xB6),
     wxColour(0x8E, 0x8E, 0x8E), *wxWHITE, wxAUI_GRADIENT_VERTICAL},
    {217, "&Silver Style", wxColour(0xD0, 0xD4, 0xDD), wxColour(0xFF, 0xDA, 0x8B),
     wxColour(0xFF, 0xC9, 0x66), wxColour(0x4C, 0x53, 0x5C), wxColour(0xF2, 0xF3, 0xF5),
     wxColour(0xD5, 0xD9, 0xE1), wxColour(0x4C, 0x53, 0x5C), wxAUI_GRADIENT_VERTICAL},
    {218, "&Aqua Style", wxColour(0xC4, 0xD3, 0xE2), wxColour(0xFF, 0xDA, 0x8B),
     wxColour(0xFF, 0xC9, 0x66), wxColour(0x3E, 0x4B, 0x5B), wxColour(0xE9, 0xEE, 0xF4),
     wxColour(0xC5, 0xD1, 0xDE), wxColour(0x3E, 0x4B, 0x5B), wxAUI_GRADIENT_VERTICAL},
};

constexpr int blue_style = 5;
int last_office_2007_style = blue_style;

}  // namespace

const app_look_style& LookStyle(int id) {
  for (int i = 0; i < int(std::size(looks)); ++i) {
    if (looks[i].id != id) continue;
    if (i >= blue_style) last_office_2007_style = i;
    return looks[i];
  }
  return looks[last_office_2007_style];
}

void ApplyLookToDocking(const app_look_style& style, wxAuiManager& manager) {
  wxAuiDockArt* art = manager.GetArtProvider();
  art->SetColour(wxAUI_DOCKART_BACKGROUND_COLOUR, style.background);
  art->SetColour(wxAUI_DOCKART_SASH_COLOUR, style.background);
  art->SetColour(wxAUI_DOCKART_ACTIVE_CAPTION_COLOUR, style.active_caption);
  art->SetColour(wxAUI_DOCKART_ACTIVE_CAPTION_GRADIENT_COLOUR, style.active_caption_end);
  art->SetColour(wxAUI_DOCKART_ACTIVE_CAPTION_TEXT_COLOUR, style.active_caption_text);
  art->SetColour(wxAUI_DOCKART_INACTIVE_CAPTION_COLOUR, style.inactive_caption);
  art->SetColour(wxAUI_DOCKART_INACTIVE_CAPTION_GRADIENT_COLOUR, style.inactive_caption_end);
  art->SetColour(wxAUI_DOCKART_INACTIVE_CAPTION_TEXT_COLOUR, style.inactive_caption_text);
  art->SetMetric(wxAUI_DOCKART_GRADIENT_TYPE, style.gradient);
  manager.Update();
}

void ShowAsRadioMark(wxMenuItem* item) {
  gtk_check_menu_item_set_draw_as_radio(GTK_CHECK_MENU_ITEM(item->GetMenuItem()), TRUE);
}
