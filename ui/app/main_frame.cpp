#include "ui/app/main_frame.h"

#include <wx/accel.h>
#include <wx/dcclient.h>
#include <wx/dialog.h>
#include <wx/dnd.h>
#include <wx/filehistory.h>
#include <wx/menu.h>
#include <wx/utils.h>

#include <algorithm>
#include <iterator>
#include <numeric>

#include "engine/base/process_state.h"
#include "engine/base/view_core.h"
#include "platform/settings.h"
#include "ui/adapters/status_bar.h"
#include "ui/app/app.h"
#include "ui/app/app_icon.h"
#include "ui/app/app_look.h"
#include "ui/app/minimum_size_guard.h"
#include "ui/commands/command_ids.h"
#include "ui/commands/menu_prompts.h"
#include "ui/dialogs/articulate_dialog.h"
#include "ui/dialogs/blend_dialog.h"
#include "ui/pane/properties_pane.h"
#include "ui/view/view.h"

namespace {

class dropped_files_target : public wxFileDropTarget {
 public:
  bool OnDropFiles(wxCoord, wxCoord, const wxArrayString& names) override {
    if (!the_app) return false;
    std::vector<std::string> paths;
    for (const wxString& name : names) paths.push_back(name.utf8_string());
    // The program the files came from waits until the drop returns: the opens, with
    // their questions and messages, run just after it.
    the_app->CallAfter([paths] { the_app->OpenDroppedFiles(paths); });
    return true;
  }
};

bool IsCommandToCome(int wx_id) {
  return std::any_of(std::begin(commands_to_come), std::end(commands_to_come),
                     [wx_id](int id) { return WxId(id) == wx_id; });
}

void AppendLook(wxMenu* menu, int id) {
  ShowAsRadioMark(menu->AppendCheckItem(id, LookStyle(id).menu_text));
}

}  // namespace

CMainFrame::CMainFrame(CvorbelDoc* document)
    : wxFrame(nullptr, wxID_ANY, "Vorbel", wxDefaultPosition,
              wxSize(start_width, start_height)) {
  int look = the_settings().GetClampedInt("", "ApplicationLook", default_look_id, first_look_id,
                                          last_look_id);
  if (the_app) the_app->app_look = look;
  the_blend_dialog = nullptr;
  display_scales::dpi_x = display_scales::dpi_y = 1.0f;

  SetIcon(ApplicationIcon(32));
  SetMinSize(wxSize(min_width, min_height));
  KeepMinimumSize(this);
  docking.SetManagedWindow(this);
  // Bound to the docking itself, so that it runs before the docking's own painter.
  docking.Bind(wxEVT_PAINT, &CMainFrame::OnDockingPaint, this);

  BuildMenuBar();
  BuildAccelerators();
  auto* bar = new wnd_status_bar(this);
  SetStatusBar(bar);
  SetStatusBarPane(0);
  // The panes grow with the font: the frame starts wide enough to show all of them.
  const auto widths = bar->FittedWidths();
  const int panes = std::accumulate(widths.begin(), widths.end(), 0);
  const int room = wxGetClientDisplayRect().width;
  if (panes > GetClientSize().x) SetClientSize(std::min(panes, room), GetClientSize().y);

  view_window = new CvorbelView(this, document);
  docking.AddPane(view_window, wxAuiPaneInfo().Name("view").CenterPane());

  auto* pane = new CPropertiesWnd(this);
  const bool hi_colour = !the_app || the_app->hi_color_icons;
  docking.AddPane(pane, wxAuiPaneInfo()
                            .Name("properties")
                            .Caption("Properties (Dockable)")
                            .Icon(PaneIcon(hi_colour, 16))
                            .Right()
                            .BestSize(CPropertiesWnd::start_width, CPropertiesWnd::start_height)
                            .MinSize(pane->MinimumWidth(), 100)
                            .Gripper()
                            .LeftDockable()
                            .RightDockable()
                            .TopDockable(false)
                            .BottomDockable(false)
                            .Floatable()
                            .CloseButton(false)
                            .Resizable(false));
  OnApplicationLook(look);

  SetDropTarget(new dropped_files_target);

  for (int id = first_look_id; id <= last_look_id; ++id) {
    Bind(wxEVT_MENU, &CMainFrame::OnLookCommand, this, id);
    Bind(wxEVT_UPDATE_UI, &CMainFrame::OnUpdateApplicationLook, this, id);
  }
  // Posted to the properties pane by its "Effects:" choice "Articulate".
  Bind(wxEVT_MENU, [this](wxCommandEvent&) { OnProduceArtisticImage(this); }, WxId(cmd_artistic_image));
  Bind(wxEVT_MOVE, &CMainFrame::OnMove, this);
  Bind(wxEVT_SIZE, &CMainFrame::OnSize, this);
  Bind(wxEVT_IDLE, &CMainFrame::OnUpdatePositioningStatus, this);
}

CMainFrame::~CMainFrame() {
  docking.UnInit();
  if (the_app) the_app->FrameDestroyed(this);
}

void CMainFrame::BuildMenuBar() {
  file_menu = new wxMenu;
  file_menu->Append(WxId(cmd_file_open), "&Open Image...\tCtrl+O");
  file_menu->Append(WxId(cmd_open_text), "New &Text...\tT");
  file_menu->Append(WxId(cmd_software_source), "Software Gen. Source...");
  file_menu->Append(WxId(cmd_file_save_as), "&Save As...\tCtrl+S");
  file_menu->AppendSeparator();
  file_menu->Append(WxId(cmd_print), "&Print...\tCtrl+P");
  file_menu->Append(WxId(cmd_print_preview), "Print Preview");
  file_menu->Append(WxId(cmd_print_setup), "P&rint Setup...");
  file_menu->AppendSeparator();
  recent_files_position = file_menu->GetMenuItemCount();
  file_menu->AppendSeparator();
  file_menu->Append(WxId(cmd_exit), "E&xit");

  auto* source_1 = new wxMenu;
  source_1->Append(WxId(cmd_place_1_top_left), "Top Left");
  source_1->Append(WxId(cmd_place_1_top_right), "Top Right");
  source_1->Append(WxId(cmd_place_1_bottom_left), "Bottom Left");
  source_1->Append(WxId(cmd_place_1_bottom_right), "Bottom Right");
  source_1->Append(WxId(cmd_place_1_middle), "middle");
  source_1->Append(WxId(cmd_place_1_position_1), "position 1");
  source_1->Append(WxId(cmd_place_1_position_2), "position 2");
  source_1->Append(WxId(cmd_positioning_off), "positioning off");
  auto* source_2 = new wxMenu;
  source_2->Append(WxId(cmd_place_2_top_left), "Top Left");
  source_2->Append(WxId(cmd_place_2_top_right), "Top Right");
  source_2->Append(WxId(cmd_place_2_bottom_left), "Bottom Left");
  source_2->Append(WxId(cmd_place_2_bottom_right), "Bottom Right");
  source_2->Append(WxId(cmd_place_2_middle), "middle");
  auto* positioning = new wxMenu;
  positioning->AppendSubMenu(source_1, "source 1");
  positioning->AppendSubMenu(source_2, "Source 2");

  auto* edit_menu = new wxMenu;
  edit_menu->Append(WxId(cmd_sizes), "Sizes...");
  edit_menu->Append(WxId(cmd_copy), "&Copy\tCtrl+C");
  edit_menu->Append(WxId(cmd_paste), "&Paste\tCtrl+V");
  edit_menu->Append(WxId(cmd_rotate), "&Rotate...\tCtrl+R");
  edit_menu->Append(WxId(cmd_batch), "Batch vorbel...");
  edit_menu->Append(WxId(cmd_base_color), "Base Color...");
  edit_menu->Append(WxId(cmd_target_size), "Target Image Size...");
  edit_menu->Append(WxId(cmd_fix_positions), "Fix positions...");
  edit_menu->AppendSubMenu(positioning, "Positioning...");
  edit_menu->Append(WxId(cmd_perspective), "Perspective Transform...");

  auto* office_2007 = new wxMenu;
  for (int id = cmd_look_blue; id <= cmd_look_aqua; ++id) AppendLook(office_2007, id);
  auto* looks = new wxMenu;
  for (int id = cmd_look_windows_2000; id <= cmd_look_vs_2005; ++id) AppendLook(looks, id);
  looks->AppendSubMenu(office_2007, "Office 200&7");
  auto* view_menu = new wxMenu;
  view_menu->AppendSubMenu(looks, "&Application Look");

  auto* help_menu = new wxMenu;
  help_menu->Append(WxId(cmd_help_topics), "&Help Topics");
  help_menu->Append(cmd_faq, "FAQs");
  help_menu->Append(WxId(cmd_about), "&About Vorbel...");

  auto* bar = new wxMenuBar;
  bar->Append(file_menu, "&File");
  bar->Append(edit_menu, "&Edit");
  bar->Append(view_menu, "&View");
  bar->Append(help_menu, "&Help");
  AttachMenuPrompts(bar);
  SetMenuBar(bar);
}

void CMainFrame::BuildAccelerators() {
  const wxAcceleratorEntry entries[] = {
      {wxACCEL_CTRL, 'N', WxId(cmd_file_new)},
      {wxACCEL_CTRL, WXK_INSERT, WxId(cmd_copy)},
      {wxACCEL_CTRL, 'X', WxId(cmd_cut)},
      {wxACCEL_SHIFT, WXK_DELETE, WxId(cmd_cut)},
      {wxACCEL_SHIFT, WXK_INSERT, WxId(cmd_paste)},
      {wxACCEL_CTRL, 'Z', WxId(cmd_undo)},
      {wxACCEL_ALT, WXK_BACK, WxId(cmd_undo)},
      {wxACCEL_NORMAL, WXK_F1, WxId(cmd_help)},
      {wxACCEL_SHIFT, WXK_F1, WxId(cmd_context_help)},
      {wxACCEL_NORMAL, WXK_F6, WxId(cmd_next_pane)},
      {wxACCEL_SHIFT, WXK_F6, WxId(cmd_previous_pane)},
  };
  SetAcceleratorTable(wxAcceleratorTable(int(std::size(entries)), entries));
}

void CMainFrame::InitialUpdate() { view_window->OnInitialUpdate(); }

void CMainFrame::ShowRecentFiles(const wxFileHistory& history) {
  if (!file_menu) return;
  for (size_t i = 0; i < recent_files_shown; ++i)
    file_menu->Destroy(file_menu->FindItemByPosition(recent_files_position));
  recent_files_shown = 0;
  const size_t count = history.GetCount();
  if (count == 0) {
    file_menu->Insert(recent_files_position, WxId(cmd_recent_file_1), "Recent File");
    recent_files_shown = 1;
    AttachMenuPrompts(file_menu);
    return;
  }
  for (size_t i = 0; i < count; ++i) {
    wxString label = history.GetHistoryFile(i);
    label.Replace("&", "&&");
    file_menu->Insert(recent_files_position + i, WxId(cmd_recent_file_1) + int(i),
                      wxString::Format("&%zu %s", i + 1, label));
  }
  recent_files_shown = count;
  AttachMenuPrompts(file_menu);
}

void CMainFrame::OnApplicationLook(int id) {
  wxBusyCursor wait;
  if (the_app) the_app->app_look = id;
  const app_look_style& style = LookStyle(id);
  ApplyLookToDocking(style, docking);
  if (wxStatusBar* bar = GetStatusBar()) bar->SetBackgroundColour(style.background);
  Refresh(true);
  Update();
  the_settings().WriteInt("", "ApplicationLook", id);
}

void CMainFrame::OnLookCommand(wxCommandEvent& event) { OnApplicationLook(event.GetId()); }

void CMainFrame::OnUpdateApplicationLook(wxUpdateUIEvent& event) {
  event.Check(the_app && event.GetId() == the_app->app_look);
}

void CMainFrame::EndBlendingBox() {
  if (the_blend_dialog) {
    the_blend_dialog->Destroy();
    the_blend_dialog = nullptr;
  }
  if (!the_view) return;
  the_view->box_dragging = false;
  the_view->blend_dialog_open = false;
  the_view->PresentTarget();
}

void CMainFrame::OnDockingPaint(wxPaintEvent& event) {
  // A child's repaint exposes the frame beneath it as well, and the docking draws all
  // its sashes, captions and grippers afresh each time, though the child covers them.
  wxRegion uncovered = GetUpdateRegion();
  for (const wxWindow* child : GetChildren())
    if (child->IsShown() && !child->IsTopLevel()) uncovered.Subtract(child->GetRect());
  if (!uncovered.IsEmpty()) {
    event.Skip();
    return;
  }
  wxPaintDC dc(this);
}

void CMainFrame::OnMove(wxMoveEvent& event) {
  event.Skip();
  EndBlendingBox();
}

void CMainFrame::OnSize(wxSizeEvent& event) {
  event.Skip();
  EndBlendingBox();
}

void CMainFrame::OnUpdatePositioningStatus(wxIdleEvent& event) {
  event.Skip();
  if (source_count != 2) {
    // However the count fell below two (a cancelled dialog, a failed load), the
    // panes that stand for two sources show none again.
    if (the_status_bar && the_status_bar->ShowIndicatorTexts() && the_stats) the_stats->Refresh();
    return;
  }
  if (the_view) the_view->DrawFixPositionIndicator();
  if (the_status_bar) the_status_bar->PaintViewPanes(-1);
}

bool CMainFrame::TryBefore(wxEvent& event) {
  const wxEventType type = event.GetEventType();
  if (type == wxEVT_UPDATE_UI && IsCommandToCome(event.GetId())) {
    static_cast<wxUpdateUIEvent&>(event).Enable(false);
    return true;
  }
  if ((type == wxEVT_MENU || type == wxEVT_UPDATE_UI) && view_window &&
      event.GetEventObject() != view_window &&
      view_window->GetEventHandler()->ProcessEventLocally(event))
    return true;
  return wxFrame::TryBefore(event);
}
