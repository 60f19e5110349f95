#include "ui/pane/properties_pane.h"

#include <wx/aui/auibar.h>
#include <wx/propgrid/propgrid.h>

#include <span>

#include "engine/base/process_state.h"
#include "engine/base/view_core.h"
#include "sources/document.h"
#include "ui/adapters/display_scales.h"
#include "ui/commands/app_services.h"
#include "ui/dialogs/articulate_dialog.h"
#include "ui/dialogs/change_source_dialog.h"
#include <wx/frame.h>
#include "ui/commands/command_rules.h"
#include "ui/commands/pane_command_ids.h"
#include "ui/dialogs/highlighting_dialog.h"
#include "ui/dialogs/rotate_dialog.h"
#include "ui/pane/grid_properties.h"
#include "ui/pane/pane_images.h"
#include "ui/pane/placement_calls.h"
#include "ui/pane/trackbar.h"
#include "ui/view/view.h"

CPropertiesWnd* the_properties_pane = nullptr;
stats* the_stats = nullptr;

namespace {

constexpr int grid_id = 2;
constexpr int stats_id = 132;
constexpr int main_toolbar_id = 308;
constexpr int shove_toolbar_id = 352;
constexpr const char* home_page_path = "/vorbel";

const char* const contrast_captions[4] = {"Target Contrast", "Target red contrast",
                                          "Target green contrast", "Target blue contrast"};
const char* const brightness_captions[4] = {"Target Brightness", "Target red brightness",
                                            "Target green brightness", "Target blue brightness"};

struct tool_entry {
  int command;
  const char* help;
};

const tool_entry main_tools[] = {
    {cmd_base_color, "Change the base color"},
    {cmd_rotate, "Change rotation of either source 1 or 2"},
    {cmd_previous_source_1_file,
     "Replace source 1 with the previous image file in the current directory"},
    {cmd_next_source_1_file, "Replace source 1 with the next image file in the current directory"},
    {cmd_previous_source_2_file,
     "Replace source 2 with the previous image file in the current directory"},
    {cmd_next_source_2_file, "Replace source 2 with the next image file in the current directory"},
    {cmd_adjoin_1_2, "Adjoin source 1 and source 2 to the right"},
    {cmd_adjoin_2_1, "Adjoin source 2 and source 1 to the right"},
    {cmd_reset_all, "Reset all parameters to their default state"},
    {cmd_remove_blending, "Remove any blending"},
};

const tool_entry shove_tools[] = {
    {cmd_place_1_top_left, "Shove source 1 corner to the top left of the target image."},
    {cmd_place_1_top_right, "Shove source 1 corner to the top right of the target image."},
    {cmd_place_1_bottom_left, "Shove source 1 corner to the bottom left of the target image."},
    {cmd_place_1_bottom_right, "Shove source 1 corner to the bottom right of the target image."},
    {cmd_place_2_top_left, "Shove source 2 corner to the top left of the target image."},
    {cmd_place_2_top_right, "Shove source 2 corner to the top right of the target image."},
    {cmd_place_2_bottom_left, "Shove source 2 corner to the bottom left of the target image."},
    {cmd_place_2_bottom_right, "Shove source 2 corner to the bottom right of the target image."},
    {cmd_fix_positions, "Set fix positions for source 1 and source 2."},
};

}  // namespace

CPropertiesWnd::CPropertiesWnd(wxWindow* parent)
    : wxPanel(parent, window_id, wxDefaultPosition, wxSize(start_width, start_height),
              wxCLIP_CHILDREN | wxTAB_TRAVERSAL) {
  the_properties_pane = this;
  the_pane_link = this;
  SetBackgroundColour(*wxWHITE);

  grid = new prop_grid_ctrl(this, grid_id);
  InitPropList();

  CreateButtons();
  for (wxWindow*& filler : fillers) {
    filler = new wxWindow(this, wxID_ANY);
    filler->SetBackgroundColour(*wxWHITE);
  }
  file_name_1 = new file_names(this, 125, "source_file 1");
  file_name_2 = new file_names(this, 127, "source_file 2");
  file_name_1->SetFileName("Source 1 not loaded", 1);
  file_name_2->SetFileName("Source 2 not loaded", 2);
  the_stats = new stats(this, stats_id);
  CreateToolbars();

  CreateSmallButtons();
  CreateSliders();
  BindCommands();
  BindHoverTips();
  AdjustLayout();
  grid->SetWindowStyleFlag(grid->GetWindowStyleFlag() | wxPG_DESCRIPTION);
  grid->SetDescBoxHeight(6 * grid->GetCharHeight());
}

CPropertiesWnd::~CPropertiesWnd() {
  if (the_pane_link == this) the_pane_link = nullptr;
  if (the_properties_pane == this) {
    the_properties_pane = nullptr;
    the_stats = nullptr;
    for (wxPGProperty** p : {&prop_vscale_1, &prop_hscale_1, &prop_vscale_2, &prop_hscale_2,
                             &prop_fit_1, &prop_fit_2, &prop_method, &prop_source_bias,
                             &prop_contrast, &prop_contrast_bias, &prop_effects})
      *p = nullptr;
  }
}

void CPropertiesWnd::CreateButtons() {
  change_button_1 = new flat_image_button(
      this, cmd_change_source_1, cmd_change_source_1,
      "Change Source 1:\nChange to another image or text or paste an image.");
  change_button_1->SetLabel("Text Button 1");
  change_button_2 = new flat_image_button(
      this, cmd_change_source_2, cmd_change_source_2,
      "Change Source 2:\nChange to another image or text or paste an image.");
  change_button_2->SetLabel("Text Button 2");
  vorbel_button = new flat_image_button(this, cmd_vorbel_button, cmd_vorbel_button,
                                        "Vorbel:\nVorbel image.");
  vorbel_button->SetLabel("Vorbel Button");
  update_button = new flat_image_button(this, cmd_web_update, cmd_web_update, "");
  update_button->SetLabel("Update");
}

void CPropertiesWnd::CreateSmallButtons() {
  move_button_1 = new flat_image_button(
      this, cmd_place_1_position_1, cmd_place_1_position_1,
      "Move / Resize Source 1:\nGrab an edge/corner to change height/width of source 1 or simply "
      "move it.('1')");
  move_button_2 = new flat_image_button(
      this, cmd_place_1_position_2, cmd_place_1_position_2,
      "Move / Resize Source 2:\nGrab an edge/corner to change height/width of source 2 or simply "
      "move it.('2')");
  move_off_button = new flat_image_button(
      this, cmd_positioning_off, cmd_positioning_off,
      "Stop manipulation of Source 1 & 2:\nSwitch off corner and edge grab points.('b')");
  middle_button_1 = new middle_button(
      this, cmd_place_1_middle, cmd_place_1_middle,
      "Centering, move to edge: source 1\nSequence of centering, move to an edge - source 1, "
      "each in turn when clicked");
  middle_button_2 = new middle_button(
      this, cmd_place_2_middle, cmd_place_2_middle,
      "Centering, move to edge: source 2\nSequence of centering, move to an edge - source 2, "
      "each in turn when clicked");
  mirror_button_1 = new flat_image_button(this, cmd_mirror_1, cmd_mirror_1,
                                          "Toggle source 1 flip\nAlternatively flip/unflip source 1.");
  mirror_button_2 = new flat_image_button(this, cmd_mirror_2, cmd_mirror_2,
                                          "Toggle source 2 flip\nAlternatively flip/unflip source 2.");
  sizes_button = new flat_image_button(this, cmd_sizes, cmd_sizes,
                                       "Size and position both source images/Size and position");
  font_up_button_1 = new flat_image_button(this, cmd_font_up_1, image_font_up, "Increase font size");
  font_down_button_1 =
      new flat_image_button(this, cmd_font_down_1, image_font_down, "Decrease font size");
  font_size_1 = new font_buddy(this, 121, "font 1 size");
  font_up_button_2 = new flat_image_button(this, cmd_font_up_2, image_font_up, "Increase font size");
  font_down_button_2 =
      new flat_image_button(this, cmd_font_down_2, image_font_down, "Decrease font size");
  font_size_2 = new font_buddy(this, 122, "font 2 size");
}

void CPropertiesWnd::CreateToolbars() {
  auto make = [this](int id, const tool_entry* tools, size_t count) {
    auto* bar = new wxAuiToolBar(this, id, wxDefaultPosition, wxDefaultSize,
                                 wxAUI_TB_HORZ_LAYOUT | wxAUI_TB_PLAIN_BACKGROUND);
    bar->SetToolBitmapSize(wxSize(20, 20));
    for (size_t i = 0; i < count; ++i)
      bar->AddTool(WxId(tools[i].command), wxEmptyString, PaneImages(tools[i].command),
                   tools[i].help, wxITEM_NORMAL);
    for (size_t i = 0; i < count; ++i) bar->SetToolLongHelp(WxId(tools[i].command), tools[i].help);
    bar->Realize();
    bar->Bind(wxEVT_MOTION, &CPropertiesWnd::OnToolMotion, this);
    bar->Bind(wxEVT_LEAVE_WINDOW, &CPropertiesWnd::OnToolMotion, this);
    return bar;
  };
  main_toolbar = make(main_toolbar_id, main_tools, std::size(main_tools));
  shove_toolbar = make(shove_toolbar_id, shove_tools, std::size(shove_tools));
}

void CPropertiesWnd::CreateSliders() {
  auto make = [this](int id, int low, int high, int position, int ticks) {
    auto* slider = new trackbar(this, id, position, low, high, ticks);
    slider->Hide();
    return slider;
  };
  contrast_prompt = new prompt(this, 155, "target Contrast", 0, contrast_captions);
  contrast_slider = make(155, 0, 100, 50, 10);
  contrast_label = new buddy(this, 154, "50", *wxWHITE);
  brightness_prompt = new prompt(this, 156, "Target Brightness", 1, brightness_captions);
  brightness_slider = make(156, 0, 100, 50, 10);
  brightness_label = new buddy(this, 159, "50", *wxWHITE);
  scale_prompt = new prompt_view_scale(this, 157, "Set view scale");
  scale_slider = make(157, 55, 205, std::clamp(display_scales::viewing, 55, 205), 15);
  scale_label = new buddy(this, 160, "--", *wxWHITE);

  contrast_slider->Bind(wxEVT_SCROLL_CHANGED, [this](wxScrollEvent& e) { OnLevelSlider(0), e.Skip(); });
  brightness_slider->Bind(wxEVT_SCROLL_CHANGED, [this](wxScrollEvent& e) { OnLevelSlider(1), e.Skip(); });
  scale_slider->Bind(wxEVT_SCROLL_CHANGED, [this](wxScrollEvent& e) { OnScaleSlider(), e.Skip(); });
}

void CPropertiesWnd::BindCommands() {
  Bind(wxEVT_BUTTON, &CPropertiesWnd::OnCommandEvent, this);
  Bind(wxEVT_TOOL, &CPropertiesWnd::OnCommandEvent, this);
  // The pane's buttons and tools follow the command rules, as menus do.
  for (wxWindow* child : GetChildren())
    if (dynamic_cast<flat_image_button*>(child))
      Bind(wxEVT_UPDATE_UI, &CPropertiesWnd::OnUpdateCommand, this, child->GetId());
  for (std::span<const tool_entry> tools :
       {std::span<const tool_entry>(main_tools), std::span<const tool_entry>(shove_tools)})
    for (const tool_entry& tool : tools)
      Bind(wxEVT_UPDATE_UI, &CPropertiesWnd::OnUpdateCommand, this, WxId(tool.command));
  grid->Bind(wxEVT_PG_CHANGED, &CPropertiesWnd::OnGridChanged, this);
  for (wxWindow* setting : {static_cast<wxWindow*>(grid), static_cast<wxWindow*>(contrast_slider),
                            static_cast<wxWindow*>(brightness_slider)})
    Bind(wxEVT_UPDATE_UI, [](wxUpdateUIEvent& e) { e.Enable(!BatchRunning()); }, setting->GetId());
  grid->Bind(wxEVT_PG_SELECTED, [this](wxPropertyGridEvent& e) {
    e.Skip();
    // The description's caption would take "&" for a mnemonic and drop it.
    if (wxPGProperty* shown = e.GetProperty()) {
      wxString caption = shown->GetLabel();
      caption.Replace("&", "&&");
      const wxString help = shown->GetHelpString();
      CallAfter([this, caption, help] { grid->SetDescription(caption, help); });
    }
  });
  Bind(wxEVT_SIZE, [this](wxSizeEvent& e) { AdjustLayout(), e.Skip(); });
  Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent&) { grid->GetGrid()->SetFocus(); });
  Bind(wxEVT_SYS_COLOUR_CHANGED, [this](wxSysColourChangedEvent& e) { UpdateGridFont(), e.Skip(); });

  Handle(cmd_reset_all, [this] { OnResetAll(); });
  BindPlacingCommands();
  for (int s : {1, 2})
    Handle(s == 1 ? cmd_change_source_1 : cmd_change_source_2, [s] {
      placement_calls::MoveSizeOff();
      if (auto* view = dynamic_cast<CvorbelView*>(the_view))
        RunChangeSourceDialog(wxGetTopLevelParent(view), *view, s);
    });
  Handle(cmd_remove_blending, [] {
    if (the_view) the_view->CombineTarget();
  });
  for (int s : {1, 2}) {
    const int previous = s == 1 ? cmd_previous_source_1_file : cmd_previous_source_2_file;
    const int next = s == 1 ? cmd_next_source_1_file : cmd_next_source_2_file;
    Handle(previous, [s] {
      if (the_view) the_view->GetDocument()->StepSourceFile(s, -1);
    });
    Handle(next, [s] {
      if (the_view) the_view->GetDocument()->StepSourceFile(s, +1);
    });
  }
  Handle(cmd_vorbel_button, [] {
    if (!the_app_services) return;
    wxCommandEvent batch(wxEVT_MENU, WxId(cmd_batch));
    the_app_services->OnBatchVorbel(batch);
  });
  Handle(cmd_rotate, [this] {
    auto* view = dynamic_cast<CvorbelView*>(the_view);
    if (!view) return;
    RunRotateDialog(this, *view);
    view->PlaceSizeHandles();
  });
  Handle(cmd_highlighting, [this] {
    if (the_view) RunHighlightingDialog(this, *the_view);
  });
  Handle(cmd_artistic_image, [this] { OnProduceArtisticImage(this); });
  Handle(cmd_web_update, [] {
    if (the_app_services) the_app_services->OpenHelpPage(home_page_path);
  });
}

void CPropertiesWnd::Handle(int command, std::function<void()> handler) {
  handlers[command] = std::move(handler);
}

void CPropertiesWnd::RunCommand(int command, bool from_control) {
  if (HeldDuringBatch(command)) return;
  if (!from_control && !RuleAllows(RuleOf(command))) return;
  auto found = handlers.find(command);
  if (found != handlers.end()) {
    found->second();
    return;
  }
  // The view handles the pane's commands that have no handler here.
  if (auto* view = dynamic_cast<CvorbelView*>(the_view)) {
    wxCommandEvent forwarded(wxEVT_MENU, WxId(command));
    forwarded.SetEventObject(this);
    view->GetEventHandler()->ProcessEventLocally(forwarded);
  }
}

void CPropertiesWnd::OnCommandEvent(wxCommandEvent& event) {
  RunCommand(CommandOf(event.GetId()), true);
}

void CPropertiesWnd::OnUpdateCommand(wxUpdateUIEvent& event) {
  event.Enable(CommandEnabled(CommandOf(event.GetId())));
}

void CPropertiesWnd::OnToolMotion(wxMouseEvent& event) {
  event.Skip();
  auto* bar = dynamic_cast<wxAuiToolBar*>(event.GetEventObject());
  wxFrame* frame = the_app_services ? the_app_services->MainFrame() : nullptr;
  if (!bar || !frame) return;
  // Fly-by help: the status bar shows the long help of the tool under the pointer.
  wxAuiToolBarItem* tool = event.Leaving() ? nullptr : bar->FindToolByPosition(event.GetX(), event.GetY());
  const int id = tool ? tool->GetId() : wxID_NONE;
  if (id == help_tool) return;
  help_tool = id;
  frame->DoGiveHelp(tool ? tool->GetLongHelp() : wxString(), tool != nullptr);
}

void CPropertiesWnd::OnGridChanged(wxPropertyGridEvent& event) {
  if (auto* changed = dynamic_cast<committed_property*>(event.GetProperty())) changed->OnCommitted();
}

namespace {

wxPGProperty* ScaleProperty(int s, int axis) {
  if (s == 1) return axis == 1 ? prop_hscale_1 : prop_vscale_1;
  return axis == 1 ? prop_hscale_2 : prop_vscale_2;
}

}  // namespace

long CPropertiesWnd::SourceScale(int s, int axis, long fallback) const {
  const wxPGProperty* scale = ScaleProperty(s, axis);
  return scale ? scale->GetValue().GetLong() : fallback;
}

void CPropertiesWnd::ShowSourceScale(int s, int axis, long value) {
  if (wxPGProperty* scale = ScaleProperty(s, axis)) scale->SetValue(value);
}

void CPropertiesWnd::ResetFlipButton(int s) {
  if (s != 1 && s != 2) return;
  flat_image_button* button = s == 1 ? mirror_button_1 : mirror_button_2;
  button->SetImage(s == 1 ? cmd_mirror_1 : cmd_mirror_2);
  if (the_view) the_view->GetDocument()->mirrored[s - 1] = 0;
}

void PostPaneCommand(int command) {
  if (!the_properties_pane) return;
  the_properties_pane->CallAfter([command] {
    if (the_properties_pane) the_properties_pane->RunCommand(command);
  });
}
