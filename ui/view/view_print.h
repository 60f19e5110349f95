#pragma once
#include <wx/print.h>

// Prints the target on one page: as wide as the page, its height in proportion
// to the printer's resolution; a blank page while there is no target.
class target_printout : public wxPrintout {
 public:
  target_printout() : wxPrintout("Vorbel") {}
  void GetPageInfo(int* min_page, int* max_page, int* page_from, int* page_to) override;
  bool HasPage(int page) override { return page == 1; }
  bool OnPrintPage(int page) override;

 private:
  // Draws the page of a preview at the preview's resolution; height is the
  // picture's printed height in printer pixels.
  void PreviewPage(wxDC& dc, int page_width, int page_height, long long height);
};

// The printed height of a target_width x target_height picture on a page
// page_width pixels wide at the printer's resolution; 64-bit all through.
long long PrintedHeight(int page_width, int ppi_x, int ppi_y);

// Print settings kept for the whole run, shared by print, preview and set-up.
wxPrintDialogData& the_print_dialog_data();
