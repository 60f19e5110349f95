#include <wx/toplevel.h>

#include <string>

#include "engine/base/process_state.h"
#include "platform/settings.h"
#include "platform/ui_port.h"
#include "sources/document.h"
#include "sources/software_pattern.h"
#include "ui/dialogs/software_source_dialog.h"
#include "ui/view/view.h"

void CvorbelView::OnSoftwareSource(wxCommandEvent&) {
  const int n = source_count + 1;
  if (n <= 2) {
    source_count = n;
    if (!CreateSoftwareSource(false, n)) {
      // The dialog's loop may have painted the view with the count taken.
      source_count = n - 1;
      Refresh();
    }
    CloseStartupTips();
    return;
  }
  const int choice = the_ui().RunReplaceSource();
  if (choice == 129 || choice == 130) CreateSoftwareSource(true, choice - 128);
}

bool CvorbelView::CreateSoftwareSource(bool, int s) {
  int shape = 0, size = 0;
  uint32_t colour = 0xFFFFFF;
  if (!RunSoftwareSourceDialog(wxGetTopLevelParent(this), shape, size, colour)) return false;

  settings_store& settings = the_settings();
  const int w = settings.GetClampedInt("Configure", "canvas_width", 1024, 32, max_target_width);
  const int h = settings.GetClampedInt("Configure", "canvas_height", 768, 32, max_target_height);
  pattern_choice choice;
  choice.shape = shape;
  choice.size_index = size;
  choice.colour[0] = uint8_t(colour >> 16), choice.colour[1] = uint8_t(colour >> 8), choice.colour[2] = uint8_t(colour);
  choice.base[0] = base_color.blue, choice.base[1] = base_color.green, choice.base[2] = base_color.red;
  // Made aside: the old source stays when the new one cannot be made.
  image_record pattern;
  if (!GenerateSoftwarePattern(choice, w, h, pattern)) return false;

  const wxSize client = GetClientSize();
  const int left = client.x > w ? (client.x - w) / 2 : 0;
  const int top = client.y > h ? (client.y - h) / 2 : 0;
  target_rect = {left, top, left + w, top + h};

  CvorbelDoc& doc = *GetDocument();
  const int i = s - 1;
  doc.source_image[i] = std::move(pattern);
  doc.image_size[i] = {w, h};
  ResetSourceScale(s);
  const bool null = shape == shape_null;
  doc.source_kind[i] = null ? kind_none : kind_software;
  the_ui().SetSourceFileName((null ? "Null source " : "Software generated source ") + std::to_string(s), s);
  doc.file_name[i].clear();
  the_ui().AdjustLayout();
  RefreshSources();
  Refresh();
  wxSizeEvent resized(wxSize(0, 0));
  OnSize(resized);
  return true;
}
