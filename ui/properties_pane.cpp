#include "ui/properties_pane.h"

CPropertiesWnd* the_properties_pane = nullptr;

CPropertiesWnd::CPropertiesWnd(wxWindow* parent)
    : wxPanel(parent, window_id, wxDefaultPosition, wxSize(start_width, start_height),
              wxCLIP_CHILDREN | wxTAB_TRAVERSAL) {
  the_properties_pane = this;
}

CPropertiesWnd::~CPropertiesWnd() {
  if (the_properties_pane == this) the_properties_pane = nullptr;
}

void CPropertiesWnd::AdjustLayout() {
  Layout();
  Refresh();
}
