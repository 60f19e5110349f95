#include <wx/menu.h>

#include "ui/commands/command_ids.h"
#include "ui/commands/menu_prompts.h"
#include "ui/view/view.h"

void CvorbelView::OnContextMenu(wxContextMenuEvent&) {
  wxMenu edit;
  edit.Append(WxId(cmd_cut), "Cu&t\tCtrl+X");
  edit.Append(WxId(cmd_copy), "&Copy\tCtrl+C");
  edit.Append(WxId(cmd_paste), "&Paste\tCtrl+V");
  AttachMenuPrompts(&edit);
  PopupMenu(&edit);
}

void CvorbelView::OnUpdateCut(wxUpdateUIEvent& event) {
  // Nothing in the program can be cut: the item is there, but grey.
  event.Enable(false);
}
