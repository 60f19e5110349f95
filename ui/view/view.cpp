#include "ui/view/view.h"

#include <algorithm>

#include <wx/dcclient.h>

#include "engine/base/process_state.h"
#include "engine/base/target_layout.h"
#include "platform/settings.h"
#include "platform/ui_port.h"
#include "sources/document.h"
#include "ui/adapters/display_scales.h"
#include "ui/adapters/status_bar.h"
#include "ui/commands/command_ids.h"
#include "ui/commands/command_rules.h"
#include "ui/view/background_bitmaps.h"
#include "ui/view/flying_tips.h"
#include "ui/view/move_size_box.h"
#include "ui/commands/pane_link.h"
#include "ui/view/start_buttons.h"

CvorbelView::CvorbelView(wxWindow* parent, CvorbelDoc* document)
    : CvorbelViewCore(document) {
  // Every pixel is painted by OnDraw: there is no background to erase.
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Create(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
         wxHSCROLL | wxVSCROLL | wxFULL_REPAINT_ON_RESIZE);
  SetScrollRate(1, 1);
  // The presentation follows the scroll position itself: a scroll repaints all.
  EnableScrolling(false, false);
  Bind(wxEVT_PAINT, &CvorbelView::OnPaint, this);
  Bind(wxEVT_SIZE, &CvorbelView::OnSize, this);
  Bind(wxEVT_MENU, &CvorbelView::OnLoadImage, this, cmd_load_image);
  Bind(wxEVT_MENU, &CvorbelView::OnLoadText, this, cmd_load_text);
  Bind(wxEVT_MENU, &CvorbelView::OnLoadText, this, WxId(cmd_open_text));
  Bind(wxEVT_KEY_DOWN, &CvorbelView::OnTextKey, this);
  Bind(wxEVT_MENU, &CvorbelView::OnPrintCommand, this, WxId(cmd_print));
  Bind(wxEVT_MENU, &CvorbelView::OnPrintCommand, this, WxId(cmd_quick_print));
  Bind(wxEVT_MENU, &CvorbelView::OnPrintCommand, this, WxId(cmd_print_preview));
  Bind(wxEVT_MENU, &CvorbelView::OnPrintCommand, this, WxId(cmd_print_setup));
  Bind(wxEVT_MENU, &CvorbelView::OnEditRotate, this, WxId(cmd_rotate));
  Bind(wxEVT_MENU, &CvorbelView::OnPerspectiveTransform, this, WxId(cmd_perspective));
  Bind(wxEVT_UPDATE_UI, &UpdateBatchVorbel, WxId(cmd_rotate));
  Bind(wxEVT_UPDATE_UI, &UpdateBatchVorbel, WxId(cmd_perspective));
  Bind(wxEVT_CONTEXT_MENU, &CvorbelView::OnContextMenu, this);
  Bind(wxEVT_UPDATE_UI, &CvorbelView::OnUpdateCut, this, WxId(cmd_cut));
  Bind(wxEVT_TIMER, &CvorbelView::OnTimer, this);
  Bind(wxEVT_MENU, &CvorbelView::OnEditPaste, this, WxId(cmd_paste));
  Bind(wxEVT_MENU, &CvorbelView::OnEditCopy, this, WxId(cmd_copy));
  Bind(wxEVT_UPDATE_UI, &CvorbelView::OnUpdateEditCopy, this, WxId(cmd_copy));
  Bind(wxEVT_MENU, &CvorbelView::OnSoftwareSource, this, WxId(cmd_software_source));
  Bind(wxEVT_MENU, &CvorbelView::OnSoftwareSource, this, cmd_view_customize);
  Bind(wxEVT_UPDATE_UI, &UpdateFileOpen, WxId(cmd_software_source));
  BindMouseAndKeys();
  BindPlacementCommands();
  BindViewCommands();
}

CvorbelView::~CvorbelView() {
  // The tips go before the fields that point at them.
  CloseStartupTips();
  flying_tips::Close(pane_tip);
  flying_tips::Close(flying_tip);
  if (display) cairo_surface_destroy(display);
  if (backdrop) cairo_surface_destroy(backdrop);
}

void CvorbelView::OnInitialUpdate() {
  // The mode may have changed under the whole client area.
  Refresh();
  CreateStartButtons();
  if (the_status_bar) {
    the_status_bar->SetTimer(1, 200);
    the_status_bar->PaintViewPanes(-1);
  }

  if (source_count == 2) {
    // InitTarget places both sources and rebuilds the target already.
    InitTarget();
    DestroyStartButtons();
    DrawFixPositionIndicator();
    return;
  }
  if (source_count == 0) {
    OpenStartupTips();
  } else {
    UpdateSourceGeometry(1);
    CloseStartupTips();
  }
  SetVirtualSize(1, 1);
}

void CvorbelView::FitTargetToClient() {
  if (the_pane_link) the_pane_link->TakeViewingScaleFromSlider();
  const wxSize client = GetClientSize();
  fit_scale = FitScale(client.x, client.y, target_rect.Width(), target_rect.Height());
  display_scale = float(display_scales::viewing) / 100.0f * fit_scale;
}

void CvorbelView::CenterTargetInView() {
  const wxSize client = GetClientSize();
  const int w = target_rect.Width();
  const int h = target_rect.Height();
  const target_layout layout = CentredTarget(client.x, client.y, w, h, display_scale);
  target_rect = {layout.x, layout.y, layout.x + w, layout.y + h};
  SetVirtualSize(layout.scroll_width, layout.scroll_height);
}

void CvorbelView::OnSize(wxSizeEvent& event) {
  if (source_count == 2) {
    if (moving_source == 1 || moving_source == 2) ShowMoveSizeLabel(moving_source);
    FitTargetToClient();
    CenterTargetInView();
    PlaceSizeHandles();
    PresentTarget();
  }
  zone_box[0] = zone_box[1] = zone_box[2] = zone_box[3] = -1;
  box_dragging = false;
  blend_dialog_open = false;
  event.Skip();
}

void CvorbelView::InitTarget() {
  settings_store& settings = the_settings();
  const int width = settings.GetClampedInt("Configure", "canvas_width", 1024, 32, max_target_width);
  const int height =
      settings.GetClampedInt("Configure", "canvas_height", 768, 32, max_target_height);
  target_rect = {0, 0, width, height};
  FitTargetToClient();
  CenterTargetInView();
  UpdateSourceGeometry(1);
  UpdateSourceGeometry(2);
  RebuildSources(-1);
  Refresh();
  Update();
}

void CvorbelView::OnPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  OnDraw(dc);
}

void CvorbelView::OnDraw(wxDC& dc) {
  if (source_count < 2) {
    const wxBitmap& tile = source_count == 0 ? NoSourceBackground() : OneSourceBackground();
    wxSize client = GetClientSize();
    for (int y = 0; y < client.y; y += tile.GetHeight())
      for (int x = 0; x < client.x; x += tile.GetWidth()) dc.DrawBitmap(tile, x, y);
    if (!wic_ready) return;
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    dc.SetFont(GetFont());
    dc.SetTextForeground(*wxBLACK);
    dc.DrawText(source_count == 0 ? "Please load the first source image or text now."
                                  : "Please load the second source image or text now.",
                100, 250);
    dc.DrawText("You can also choose to paste an image from the clipboard.", 100, 280);
    dc.DrawText("The second source must be loaded from a folder when intending to batch-vorbel.",
                100, 310);
    return;
  }
  tips_timer.Stop();
  bool failed = display_fresh ? false : ComposePresentation(ShownPixels());
  display_fresh = false;
  if (!failed) {
    auto* cr = static_cast<cairo_t*>(dc.GetHandle());
    cairo_save(cr);
    cairo_set_source_surface(cr, display, 0, 0);
    cairo_paint(cr);
    cairo_restore(cr);
    return;
  }
  dc.SetBackground(*wxWHITE_BRUSH);
  dc.Clear();
  dc.SetFont(GetFont());
  dc.SetTextForeground(*wxBLACK);
  dc.DrawText(
      "Vorbel cannot display the target image ?  This may be caused by a shortage of memory.",
      100, 400);
}

void CvorbelView::OnLoadImage(wxCommandEvent&) {
  if (!wic_ready) {
    the_ui().MessageBox("Windows Imaging Component WIC is not enabled, cannot continue.",
                        message_icon::error);
    return;
  }
  wxCommandEvent open(wxEVT_MENU, WxId(cmd_file_open));
  open.SetEventObject(this);
  wxGetTopLevelParent(this)->GetEventHandler()->ProcessEvent(open);
}
