#include <wx/window.h>

#include "engine/base/process_state.h"
#include "sources/document.h"
#include "ui/pane/properties_pane.h"
#include "ui/view/flying_tips.h"
#include "ui/view/view.h"

namespace {

// One tip for the whole pane, held by the view: it opens only while none shows,
// so each control tells its help once until the pointer has crossed the view.
void OpenPaneTip(const wxString& text) {
  auto* view = dynamic_cast<CvorbelView*>(the_view);
  if (!view || source_count != 2 || view->pane_tip || text.empty()) return;
  flying_tips::Open(view, wxPoint(100, 200), text, &view->pane_tip);
}

}  // namespace

wxString PaneTipText(pane_tip_source source) {
  switch (source) {
    case pane_tip_source::file_names: {
      const CvorbelDoc* doc = the_view ? the_view->GetDocument() : nullptr;
      if (!doc) return {};
      wxString text;
      for (int s = 1; s <= 2; ++s)
        if (doc->source_kind[s - 1] == kind_file)
          text << "\nSource " << s << ":   " << wxString::FromUTF8(doc->file_name[s - 1]);
      return text;
    }
    case pane_tip_source::stats:
      if (the_view && the_view->zone_applied == 1)
        return "Any target image changes such as source scrolling, scaling, contrast etc. will destroy "
               "any blending.";
      return "You can change the target width and height in the edit menu.";
    case pane_tip_source::middle_button:
      if (the_properties_pane && !the_properties_pane->tip_allowed) return {};
      return "These source image centering buttons switch in turn to the following when clicked:\n\n"
             "center, center/top, center/bottom, center/left, center/right.";
    case pane_tip_source::prompt:
      return "Click here to change selection to one of: R,G,B or all";
  }
  return {};
}

void CPropertiesWnd::BindHoverTips() {
  auto bind = [](wxWindow* control, pane_tip_source source) {
    if (!control) return;
    control->Bind(wxEVT_MOTION, [source](wxMouseEvent& event) {
      event.Skip();
      OpenPaneTip(PaneTipText(source));
    });
  };
  bind(file_name_1, pane_tip_source::file_names);
  bind(file_name_2, pane_tip_source::file_names);
  bind(the_stats, pane_tip_source::stats);
  bind(middle_button_1, pane_tip_source::middle_button);
  bind(middle_button_2, pane_tip_source::middle_button);
  bind(contrast_prompt, pane_tip_source::prompt);
  bind(brightness_prompt, pane_tip_source::prompt);
}
