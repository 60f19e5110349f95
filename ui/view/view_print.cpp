#include "ui/view/view_print.h"

#include <algorithm>
#include <limits>

#include <wx/image.h>
#include <wx/printdlg.h>

#include "engine/base/process_state.h"
#include "platform/ui_port.h"
#include "ui/commands/command_ids.h"
#include "ui/view/view.h"

namespace {

// Nearest-pixel stretch of the target to width x height, of which only the first
// rows (those the page can show) are made.
wxImage StretchTarget(int width, long long height, int rows) {
  wxImage image(width, rows, false);
  unsigned char* out = image.GetData();
  for (int y = 0; y < rows; ++y) {
    const bgra* row = target_pixels + (long long)y * target_height / height * target_width;
    for (int x = 0; x < width; ++x) {
      const bgra& p = row[(long long)x * target_width / width];
      *out++ = p.red;
      *out++ = p.green;
      *out++ = p.blue;
    }
  }
  return image;
}

}  // namespace

wxPrintDialogData& the_print_dialog_data() {
  static wxPrintDialogData data;
  return data;
}

long long PrintedHeight(int page_width, int ppi_x, int ppi_y) {
  if (target_width <= 0 || target_height <= 0 || page_width <= 0) return 0;
  if (ppi_x <= 0 || ppi_y <= 0) ppi_x = ppi_y = 1;
  return (long long)target_height * page_width * ppi_y / ((long long)target_width * ppi_x);
}

void target_printout::GetPageInfo(int* min_page, int* max_page, int* page_from, int* page_to) {
  *min_page = *max_page = *page_from = *page_to = 1;
}

bool target_printout::OnPrintPage(int) {
  wxDC* dc = GetDC();
  if (!dc) return false;
  int page_width, page_height, ppi_x, ppi_y;
  GetPageSizePixels(&page_width, &page_height);
  GetPPIPrinter(&ppi_x, &ppi_y);
  // One logical unit is one printer pixel, on paper and in the preview alike.
  FitThisSizeToPage(wxSize(page_width, page_height));
  const long long height = PrintedHeight(page_width, ppi_x, ppi_y);
  if (height <= 0) return true;
  if (IsPreview()) {
    PreviewPage(*dc, page_width, page_height, height);
    return true;
  }
  // At the target's own size the stretch is a plain copy.
  const int rows = int(std::min<long long>(height, page_height));
  if (rows > 0) dc->DrawBitmap(wxBitmap(StretchTarget(page_width, height, rows)), 0, 0);
  return true;
}

void target_printout::PreviewPage(wxDC& dc, int page_width, int page_height, long long height) {
  // The preview's page is a few hundred pixels wide, the printer's thousands: the
  // picture is stretched to the preview's own pixels and drawn unscaled, instead
  // of building the printer-sized picture only to have it shrunk again.
  const wxPoint corner(dc.LogicalToDeviceX(0), dc.LogicalToDeviceY(0));
  const int width = dc.LogicalToDeviceXRel(page_width);
  const long long full_height = (long long)dc.LogicalToDeviceYRel(int(std::min<long long>(
      height, std::numeric_limits<int>::max())));
  const int rows = int(std::min<long long>(full_height, dc.LogicalToDeviceYRel(page_height)));
  if (width <= 0 || rows <= 0) return;
  double scale_x, scale_y;
  dc.GetUserScale(&scale_x, &scale_y);
  const wxPoint logical_origin = dc.GetLogicalOrigin();
  const wxPoint device_origin = dc.GetDeviceOrigin();
  dc.SetUserScale(1.0, 1.0);
  dc.SetLogicalOrigin(0, 0);
  dc.SetDeviceOrigin(0, 0);
  dc.DrawBitmap(wxBitmap(StretchTarget(width, full_height, rows)), corner);
  dc.SetDeviceOrigin(device_origin.x, device_origin.y);
  dc.SetLogicalOrigin(logical_origin.x, logical_origin.y);
  dc.SetUserScale(scale_x, scale_y);
}

void CvorbelView::OnFilePrint(bool ask) {
  wxPrinter printer(&the_print_dialog_data());
  target_printout printout;
  if (printer.Print(this, &printout, ask))
    the_print_dialog_data() = printer.GetPrintDialogData();
  else if (wxPrinter::GetLastError() == wxPRINTER_ERROR)
    the_ui().MessageBox("Printing failed.", message_icon::error);
}

void CvorbelView::OnFilePrintPreview() {
  auto* preview =
      new wxPrintPreview(new target_printout, new target_printout, &the_print_dialog_data());
  if (!preview->IsOk()) {
    delete preview;
    the_ui().MessageBox("There is no printer to preview for.", message_icon::error);
    return;
  }
  auto* frame = new wxPreviewFrame(preview, wxGetTopLevelParent(this), "Print Preview",
                                   wxDefaultPosition, wxSize(800, 700));
  frame->Initialize();
  frame->Show();
}

void CvorbelView::OnFilePrintSetup() {
  wxPageSetupDialogData setup(the_print_dialog_data().GetPrintData());
  wxPageSetupDialog dialog(this, &setup);
  if (dialog.ShowModal() == wxID_OK)
    the_print_dialog_data().SetPrintData(dialog.GetPageSetupData().GetPrintData());
}

void CvorbelView::OnPrintCommand(wxCommandEvent& event) {
  const int id = event.GetId();
  if (id == WxId(cmd_print_preview))
    OnFilePrintPreview();
  else if (id == WxId(cmd_print_setup))
    OnFilePrintSetup();
  else
    OnFilePrint(id == WxId(cmd_print));
}
