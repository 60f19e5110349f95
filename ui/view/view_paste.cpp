#include <wx/utils.h>

#include <string>
#include <vector>

#include "engine/base/process_state.h"
#include "platform/ui_port.h"
#include "sources/document.h"
#include "sources/pasted_bitmap.h"
#include "ui/adapters/clipboard_wx.h"
#include "ui/view/move_size_box.h"
#include "ui/dialogs/source_roads.h"
#include "ui/view/view.h"

namespace {

const char* const no_image_text = "No image in the clipboard to retrieve?";

}  // namespace

void CvorbelView::OnEditPaste(wxCommandEvent&) {
  if (!wic_ready) {
    the_ui().MessageBox(imaging_refusal, message_icon::error);
    return;
  }
  if (!ClipboardHasImage()) {
    the_ui().MessageBox(no_image_text, message_icon::error);
    return;
  }
  const int n = source_count + 1;
  if (n <= 2) {
    CloseStartupTips();
    if (!PasteIntoSource(false, n)) return;
    if (source_count == 2) {
      InitTarget();
      DestroyStartButtons();
    }
    return;
  }
  const int choice = the_ui().RunReplaceSource();
  if (choice == 129 || choice == 130) PasteIntoSource(true, choice - 128);
}

bool CvorbelView::PasteIntoSource(bool replacing, int s) {
  std::vector<uint8_t> block;
  const clipboard_read read = ReadClipboardBitmap(block);
  if (read == clipboard_read::not_opened) return false;
  if (read == clipboard_read::no_image) {
    the_ui().MessageBox(no_image_text, message_icon::error);
    return false;
  }
  if (read == clipboard_read::too_large) {
    the_ui().MessageBox(out_of_memory_text, message_icon::error);
    return false;
  }

  // The new image is made aside: a paste that fails leaves the source as it was.
  CvorbelDoc& doc = *GetDocument();
  const int i = s - 1;
  image_record pasted;
  switch (NormalisePastedBitmap(block.data(), block.size(), pasted)) {
    case paste_done:
      break;
    case paste_out_of_memory:
      the_ui().MessageBox(out_of_memory_text, message_icon::error);
      return false;
    default:
      the_ui().MessageBox("Cannot handle this type of image.", message_icon::error);
      return false;
  }
  // Counted in only once its image is in: while a refusal's message is up (or the
  // clipboard's wait paints), the window must not show a source that never came.
  if (!replacing) source_count = s;
  doc.image_size[i] = {pasted.Width(), pasted.Height()};
  doc.source_image[i] = std::move(pasted);

  ResetSourceScale(s);
  the_ui().SetSourceFileName("Pasted image Source " + std::to_string(s), s);
  if (doc.source_kind[i] != kind_pasted) {
    offset[i] = {0, 0};
    rotation[i] = 0.0;
    ResetFlipButton(s);
  }
  doc.source_kind[i] = kind_pasted;
  if (source_count == 2) {
    doc.file_name[i].clear();
    RebuildSources(s);
    // A source under move/size keeps its label, and its handles go to its new outline.
    if (moving_source == s) {
      ShowMoveSizeLabel(s);
      PlaceSizeHandles();
    }
  }
  the_ui().AdjustLayout();
  Refresh();
  return true;
}

void CvorbelView::OnEditCopy(wxCommandEvent&) {
  if (source_count < 2) return;
  bool copied;
  {
    wxBusyCursor wait;
    copied = PutImageOnClipboard(target_pixels, target_width, target_height);
  }
  if (!copied) the_ui().MessageBox("Vorbel cannot open the clipboard ?", message_icon::error);
}

void CvorbelView::OnUpdateEditCopy(wxUpdateUIEvent& event) { event.Enable(source_count >= 2); }
