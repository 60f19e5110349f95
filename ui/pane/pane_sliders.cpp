#include "engine/base/view_core.h"
#include "ui/adapters/display_scales.h"
#include "ui/commands/command_rules.h"
#include "ui/pane/properties_pane.h"
#include "ui/pane/trackbar.h"
#include "ui/view/view.h"

void CPropertiesWnd::OnLevelSlider(int which) {
  trackbar* slider = which == 0 ? contrast_slider : brightness_slider;
  buddy* label = which == 0 ? contrast_label : brightness_label;
  const int selection = (which == 0 ? contrast_prompt : brightness_prompt)->selection;
  if (BatchRunning() && the_view) {
    // A batch run saves every pair with the settings of its start.
    const channel_pair& kept = the_view->channel_adjust[selection == 0 ? 0 : 3 - selection];
    slider->SetValue(which == 0 ? kept.contrast : kept.brightness);
    return;
  }
  const int p = slider->GetValue();
  label->SetText(wxString::Format("%d", p));
  if (!the_view) return;
  // The channels are kept blue, green, red; selection 1 is red, 3 blue.
  for (int i = 0; i < 3; ++i) {
    if (selection != 0 && i != 3 - selection) continue;
    int& level = which == 0 ? the_view->channel_adjust[i].contrast
                            : the_view->channel_adjust[i].brightness;
    level = p;
  }
  the_view->CombineTarget();
}

void CPropertiesWnd::TakeViewingScaleFromSlider() {
  display_scales::viewing = scale_slider->GetValue();
  scale_label->SetText(wxString::Format("%d", display_scales::viewing));
}

void CPropertiesWnd::OnScaleSlider() {
  TakeViewingScaleFromSlider();
  auto* view = dynamic_cast<CvorbelView*>(the_view);
  if (!view) return;
  view->display_scale = float(display_scales::viewing) / 100.0f * view->fit_scale;
  view->CenterTargetInView();
  view->PresentTarget();
}

void CPropertiesWnd::ResetViewScale() {
  scale_slider->SetValue(100);
  scale_label->SetText("100");
  OnScaleSlider();
}
