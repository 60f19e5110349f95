#include <string>

#include "engine/base/process_state.h"
#include "platform/ui_port.h"
#include "sources/document.h"
#include "ui/commands/command_ids.h"
#include "ui/view/view.h"

void CvorbelView::OnLoadText(wxCommandEvent&) {
  if (!wic_ready) {
    the_ui().MessageBox(imaging_refusal, message_icon::error);
    return;
  }
  CvorbelDoc& document = *GetDocument();
  const int n = source_count + 1;
  int s = n;
  if (n > 2) {
    const int choice = the_ui().RunReplaceSource();
    if (choice != 129 && choice != 130) return;
    s = choice - 128;
    if (document.EnterSourceText(true, s - 1)) return;
    document.source_kind[s - 1] = kind_text;
  } else {
    source_count = n;
    if (document.EnterSourceText(false, s - 1)) {
      // The dialog's loop may have painted the view with the count taken.
      source_count = n - 1;
      Refresh();
      return;
    }
    document.source_kind[s - 1] = kind_text;
    ResetSourceScale(s);
    CloseStartupTips();
  }
  the_ui().SetSourceFileName("TEXT Source " + std::to_string(s), s);
  document.file_name[s - 1].clear();
  InitTarget();
  if (source_count == 2) DestroyStartButtons();
  the_ui().AdjustLayout();
}

void CvorbelView::OnTextKey(wxKeyEvent& event) {
  // A plain-key menu accelerator does not fire in GTK: the view takes T itself, as
  // the menu's command, so that whatever holds the command holds the key too.
  if (event.GetKeyCode() == 'T' && event.GetModifiers() == wxMOD_NONE) {
    wxCommandEvent open(wxEVT_MENU, WxId(cmd_open_text));
    open.SetEventObject(this);
    ProcessWindowEvent(open);
    return;
  }
  event.Skip();
}
