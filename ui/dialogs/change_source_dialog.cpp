#include "ui/dialogs/change_source_dialog.h"

#include <wx/button.h>
#include <wx/stattext.h>

#include <string>

#include "engine/base/process_state.h"
#include "engine/base/view_core.h"
#include "platform/ui_port.h"
#include "sources/derived_source.h"
#include "sources/document.h"
#include "ui/commands/app_services.h"
#include "ui/commands/view_link.h"
#include "ui/dialogs/dialog_units.h"
#include "ui/dialogs/source_roads.h"

modify_source* modify_source::active = nullptr;

namespace {

struct road_row {
  int id;
  const char* button;
  const char* explanation;
};

constexpr road_row roads[5] = {
    {modify_source::file_id, "Image from file", "Change current image with that from a file"},
    {modify_source::text_id, "New (or change) text", "Source image replaced with text that you type"},
    {modify_source::paste_id, "Paste image from clipboard", "Copies an image from somewhere else to this source"},
    {modify_source::software_id, "Software Generated Image", "Set to various shapes"},
    {modify_source::target_id, "Current Target", "Useful to accumulate effects\n(Be aware of source 1/2 bias)"},
};

}  // namespace

modify_source::modify_source(wxWindow* parent, view_link& v, int which)
    : wxDialog(parent, 337, "Change Source"), which_source(which), link(v), view(v.Core()) {
  UseDialogFont(this);
  SetClientSize(DialogUnits(this, 0, 0, 221, 218).GetSize());
  auto* intro = new wxStaticText(
      this, wxID_ANY, "Select one of the five options below to replace the current contents of the selected source.");
  intro->SetSize(DialogUnits(this, 7, 7, 207, 18));
  intro->Wrap(intro->GetSize().x);
  selected = new wxStaticText(this, selected_id, "Selected source.");
  selected->SetSize(DialogUnits(this, 7, 29, 207, 10));
  for (int k = 0; k < 5; ++k) {
    const int y = 45 + 30 * k;
    (new wxButton(this, roads[k].id, roads[k].button))->SetSize(DialogUnits(this, 7, y, 100, 16));
    auto* explanation = new wxStaticText(this, wxID_ANY, roads[k].explanation);
    explanation->SetSize(DialogUnits(this, 114, y, 100, 24));
  }
  auto* ok = new wxButton(this, wxID_OK, "OK");
  ok->SetSize(DialogUnits(this, 85, 197, 50, 14));
  ok->SetDefault();
  SetEscapeId(wxID_OK);
  CentreOnParent();

  selected->SetLabel("Selected source: " + std::to_string(which_source));

  Bind(wxEVT_BUTTON, &modify_source::OnImageFromFile, this, file_id);
  Bind(wxEVT_BUTTON, &modify_source::OnNewText, this, text_id);
  Bind(wxEVT_BUTTON, &modify_source::OnPasteImage, this, paste_id);
  Bind(wxEVT_BUTTON, &modify_source::OnSoftwareImage, this, software_id);
  Bind(wxEVT_BUTTON, &modify_source::OnCurrentTarget, this, target_id);
  active = this;
}

modify_source::~modify_source() {
  if (active == this) active = nullptr;
}

void modify_source::OnImageFromFile(wxCommandEvent&) {
  const int s = which_source;
  ResetFlipButton(s);
  const std::string path = the_app_services ? the_app_services->AskImageFileName() : std::string();
  const bool loaded = view.GetDocument()->LoadSourceFile(path, s);
  view.offset[s - 1] = {0, 0};
  view.rotation[s - 1] = 0.0;
  view.ResetSourceScale(s);
  view.RebuildSources(-1);
  if (loaded) EndModal(wxID_OK);
}

void modify_source::OnNewText(wxCommandEvent&) {
  const int s = which_source;
  CvorbelDoc& doc = *view.GetDocument();
  ResetFlipButton(s);
  const int saved_kind = doc.source_kind[s - 1];
  doc.source_kind[s - 1] = kind_text;
  if (doc.EnterSourceText(true, s - 1)) {
    doc.source_kind[s - 1] = saved_kind;
  } else {
    the_ui().SetSourceFileName("TEXT Source " + std::to_string(s), s);
    if (saved_kind != kind_text) {
      doc.file_name[s - 1].clear();
      view.rotation[s - 1] = 0.0;
      ResetFlipButton(s);
      view.offset[s - 1] = {0, 0};
      view.ResetSourceScale(s);
    }
  }
  link.RefreshSources();
  view.UpdateSourceGeometry(s);
}

void modify_source::OnPasteImage(wxCommandEvent&) {
  ResetFlipButton(which_source);
  // The mirror flag went with the flip button: a failed paste still shows that.
  if (!link.PasteIntoSource(true, which_source)) view.RebuildSources(-1);
  EndModal(wxID_OK);
}

void modify_source::OnSoftwareImage(wxCommandEvent&) {
  const int s = which_source;
  ResetFlipButton(s);
  view.offset[s - 1] = {0, 0};
  view.rotation[s - 1] = 0.0;
  // A cancelled or failed pattern leaves the old image under the new placement.
  if (!link.CreateSoftwareSource(true, s)) {
    view.UpdateSourceGeometry(s);
    view.RebuildSources(-1);
  }
}

void modify_source::OnCurrentTarget(wxCommandEvent&) {
  view.perspective_on = false;
  if (DeriveSourceFromTarget(which_source)) ResetCombiningProperties();
}

void RunChangeSourceDialog(wxWindow* parent, view_link& view, int s) {
  modify_source dialog(parent, view, s);
  dialog.ShowModal();
}
