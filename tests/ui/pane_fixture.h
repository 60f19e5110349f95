#pragma once
#include <wx/propgrid/propgrid.h>
#include <wx/textctrl.h>

#include "engine/base/view_core.h"
#include "sources/document.h"
#include "tests/ui/app_fixture.h"
#include "ui/pane/grid_properties.h"
#include "ui/pane/properties_pane.h"
#include "ui/pane/trackbar.h"
#include "ui/view/view.h"

// A started application with two plain sources (red and blue, both 4 : 3 like the
// canvas) and the pane's grid at hand.
class pane_fixture : public app_fixture {
 protected:
  void StartTwo() {
    Start({PlainImage("red.png", 64, 48, 200, 0, 0), PlainImage("blue.png", 64, 48, 0, 0, 200)});
    ASSERT_EQ(source_count, 2);
    pane = the_properties_pane;
    ASSERT_NE(pane, nullptr);
  }
  wxPropertyGrid* Grid() const { return pane->grid->GetGrid(); }

  // Types text into the property's in-place editor and commits it as Enter would;
  // false when the grid refused it.
  bool Type(wxPGProperty* property, const wxString& text) {
    Grid()->SelectProperty(property, true);
    auto* editor = dynamic_cast<wxTextCtrl*>(Grid()->GetEditorControl());
    EXPECT_NE(editor, nullptr);
    if (!editor) return false;
    editor->ChangeValue(text);
    Grid()->EditorsValueWasModified();
    return Grid()->CommitChangesFromEditor();
  }
  // Picks option (or sets a check) as the grid does after a choice.
  void Pick(wxPGProperty* property, wxVariant value) {
    Grid()->ChangePropertyValue(property, value);
  }
  // The centre pixel of the target as 0x00RRGGBB.
  static uint32_t Centre() {
    const bgra p = target_pixels[target_height / 2 * target_width + target_width / 2];
    return uint32_t(p.red) << 16 | uint32_t(p.green) << 8 | p.blue;
  }
  // Sends the end of a trackbar move to value.
  static void Slide(trackbar* bar, int value) {
    bar->SetValue(value);
    wxScrollEvent end(wxEVT_SCROLL_CHANGED, bar->GetId(), value, wxHORIZONTAL);
    end.SetEventObject(bar);
    bar->ProcessWindowEvent(end);
  }

  CPropertiesWnd* pane = nullptr;
};
