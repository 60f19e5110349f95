#pragma once
#include <wx/font.h>
#include <wx/panel.h>

#include <functional>
#include <map>

#include "ui/pane/pane_controls.h"
#include "ui/commands/pane_link.h"

class wxAuiToolBar;
class trackbar;
class wxPropertyGridEvent;
class wxStaticText;

// A rectangle of the pane's layout, in the pane's client coordinates.
struct pane_rect {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const pane_rect&) const = default;
};

// What the pane's layout depends on.
struct pane_layout_input {
  int width = 0, height = 0;          // client size
  int tool_width_1 = 0, tool_height_1 = 0;  // one main_toolbar button
  int tool_width_2 = 0, tool_height_2 = 0;  // one shove_toolbar button
  float dpi_scale_y = 1.0f;
  bool text_source[2] = {false, false};
  // What the widest slider caption needs; the captions' column widens to it.
  int caption_width = 0;
};

// Where every child goes; widths and heights are never negative.
struct pane_layout {
  pane_rect change_1, change_2, update, vorbel, fillers[4];
  pane_rect main_toolbar, shove_toolbar;
  pane_rect row_buttons[8];  // move 1, move 2, move off, middle 1, middle 2, mirror 1, mirror 2, sizes
  pane_rect file_name[2], font_size[2], font_down[2], font_up[2];
  pane_rect stats;
  pane_rect prompts[3], labels[3], sliders[3];  // contrast, brightness, scale
  pane_rect grid;
};
pane_layout ComputePaneLayout(const pane_layout_input& in);

// The dockable control panel: command buttons, two toolbars, the source strips, the
// statistics, three sliders and the property grid.
class CPropertiesWnd : public wxPanel, public pane_link {
 public:
  static constexpr int window_id = 158;
  static constexpr int start_width = 310;
  static constexpr int start_height = 800;

  explicit CPropertiesWnd(wxWindow* parent);
  ~CPropertiesWnd() override;

  // Places the pane's children again after a source or the pane's size changed.
  void AdjustLayout();
  // The layout input as the pane stands now.
  pane_layout_input LayoutInput() const;
  // The narrowest the pane may be: ten main toolbar buttons.
  int MinimumWidth() const;
  void UpdateGridFont();
  void InitPropList();
  void OnResetAll();
  void ResetFlipButton(int s) override;
  void ShowCombiningStarts() override;

  // Runs a command: its handler here, or the view's when the pane has none. One
  // that comes without a control is dropped when its rule disables it.
  void RunCommand(int command, bool from_control = false);
  void RunPaneCommand(int command) override { RunCommand(command); }
  void AllowTip() override { tip_allowed = true; }
  void TakeViewingScaleFromSlider() override;
  wxRect PaneScreenRect() const override { return GetScreenRect(); }
  long SourceScale(int s, int axis, long fallback) const override;
  void ShowSourceScale(int s, int axis, long value) override;
  // Gives a pane command its handler.
  void Handle(int command, std::function<void()> handler);
  bool Handles(int command) const { return handlers.count(command) != 0; }

  // The slider handling of the end of a move.
  void OnLevelSlider(int which);
  void OnScaleSlider();
  // The view-scale label's click: the scale back to 100.
  void ResetViewScale();

  file_names* file_name_1 = nullptr;
  file_names* file_name_2 = nullptr;
  flat_image_button* vorbel_button = nullptr;
  flat_image_button* change_button_1 = nullptr;
  flat_image_button* change_button_2 = nullptr;
  middle_button* middle_button_1 = nullptr;
  middle_button* middle_button_2 = nullptr;
  flat_image_button* mirror_button_1 = nullptr;
  flat_image_button* mirror_button_2 = nullptr;
  flat_image_button* sizes_button = nullptr;
  flat_image_button* font_up_button_1 = nullptr;
  flat_image_button* font_down_button_1 = nullptr;
  flat_image_button* font_up_button_2 = nullptr;
  flat_image_button* font_down_button_2 = nullptr;
  flat_image_button* move_button_1 = nullptr;
  flat_image_button* move_button_2 = nullptr;
  flat_image_button* move_off_button = nullptr;
  wxWindow* fillers[4] = {};
  wxAuiToolBar* main_toolbar = nullptr;
  wxAuiToolBar* shove_toolbar = nullptr;
  flat_image_button* update_button = nullptr;
  wxFont grid_font;
  prop_grid_ctrl* grid = nullptr;
  int middle_step_1 = 0;
  int middle_step_2 = 0;
  bool tip_allowed = true;
  trackbar* contrast_slider = nullptr;
  trackbar* brightness_slider = nullptr;
  trackbar* scale_slider = nullptr;
  prompt* contrast_prompt = nullptr;
  prompt* brightness_prompt = nullptr;
  prompt_view_scale* scale_prompt = nullptr;
  font_buddy* font_size_1 = nullptr;
  font_buddy* font_size_2 = nullptr;
  buddy* contrast_label = nullptr;
  buddy* brightness_label = nullptr;
  buddy* scale_label = nullptr;

 private:
  void CreateButtons();
  void CreateToolbars();
  // The row of small buttons and the text sources' font controls.
  void CreateSmallButtons();
  void CreateSliders();
  void BindCommands();
  // Corner shoves and the centring cycle.
  void BindPlacingCommands();
  // One press of source s's centring button.
  void ShoveToMiddle(int s);
  // The help that pointing at the file names, statistics, centring buttons and
  // level prompts opens.
  void BindHoverTips();
  void OnCommandEvent(wxCommandEvent& event);
  void OnUpdateCommand(wxUpdateUIEvent& event);
  void OnGridChanged(wxPropertyGridEvent& event);
  void OnToolMotion(wxMouseEvent& event);

  std::map<int, std::function<void()>> handlers;
  int help_tool = wxID_NONE;  // the tool whose help the status bar shows
};

// The frame's properties pane while the frame exists.
extern CPropertiesWnd* the_properties_pane;
// The statistics strip while the pane exists.
extern stats* the_stats;

// The controls of the pane that tell their help when pointed at.
enum class pane_tip_source { file_names, stats, middle_button, prompt };
// The help a control tells now; empty when it has none to tell.
wxString PaneTipText(pane_tip_source source);

// The picture source s's centring button shows after step (0..4) of its cycle;
// 0 for anything else.
int CentringImage(int s, int step);

// Runs command on the pane after the current event has been handled.
void PostPaneCommand(int command);
