#include <fstream>
#include <string>

#include <wx/print.h>

#include "tests/ui/view_fixture.h"
#include "ui/view/view_print.h"

namespace {

constexpr uint32_t red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF, grey = 0x808080, white = 0xFFFFFF;

class view_printing : public view_fixture {
 protected:
  // Prints the one page on a white page_width x page_height bitmap at ppi_x x ppi_y;
  // a preview draws the page shown_width pixels wide.
  void Print(int page_width, int page_height, int ppi_x, int ppi_y, int shown_width = 0) {
    const bool preview = shown_width > 0;
    wxBitmap bitmap(preview ? shown_width : page_width,
                    preview ? page_height * shown_width / page_width : page_height, 24);
    wxMemoryDC dc(bitmap);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    target_printout printout;
    wxPrintPreview shown_by(new target_printout);
    if (preview) printout.SetPreview(&shown_by);
    printout.SetDC(&dc);
    printout.SetPageSizePixels(page_width, page_height);
    printout.SetPaperRectPixels(wxRect(0, 0, page_width, page_height));
    printout.SetPPIPrinter(ppi_x, ppi_y);
    printout.SetPPIScreen(96, 96);
    EXPECT_TRUE(printout.OnPrintPage(1));
    dc.SelectObject(wxNullBitmap);
    page = bitmap.ConvertToImage();
  }
  uint32_t At(int x, int y) const {
    return uint32_t(page.GetRed(x, y)) << 16 | uint32_t(page.GetGreen(x, y)) << 8 | page.GetBlue(x, y);
  }
  wxImage page;
};

TEST_F(view_printing, TargetFillsThePageWidthInProportionAndTheHeightNeverOverflows) {
  const uint32_t quarters[4] = {red, green, blue, grey};
  PaintQuarters(64, 48, quarters);
  Print(1000, 1400, 300, 300);  // 48 x 1000 / 64 = 750 rows
  EXPECT_EQ(At(0, 0), red);
  EXPECT_EQ(At(999, 0), green);
  EXPECT_EQ(At(0, 749), blue);
  EXPECT_EQ(At(999, 749), grey);
  EXPECT_EQ(At(500, 750), white);
  Print(1000, 1400, 300, 600);  // unequal resolutions: 1500 rows, clipped at 1400
  EXPECT_EQ(At(10, 749), red);
  EXPECT_EQ(At(10, 750), blue);
  EXPECT_EQ(At(990, 1399), grey);

  target_width = target_height = 0;  // no target: a blank page
  Print(800, 1000, 300, 300);
  for (int y = 0; y < 1000; y += 50)
    for (int x = 0; x < 800; x += 50) ASSERT_EQ(At(x, y), white);
  EXPECT_EQ(PrintedHeight(4960, 600, 600), 0);
  target_width = 2048;
  target_height = 1536;
  EXPECT_EQ(PrintedHeight(100000, 300, 1200), 300000);  // 1536 x 100000 x 1200 is far beyond 32 bits
  EXPECT_EQ(PrintedHeight(4960, 0, 0), 3720);           // no resolution known: square pixels
}

// Peak resident memory of this process in kB since the last ResetPeakMemory.
long PeakMemoryKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}
void ResetPeakMemory() { std::ofstream("/proc/self/clear_refs") << "5"; }

TEST_F(view_printing, ThePreviewCostsLittleMemoryAndShowsTheTarget) {
  const uint32_t quarters[4] = {red, green, blue, grey};
  PaintQuarters(1024, 768, quarters);
  ResetPeakMemory();
  const long idle = PeakMemoryKb();
  view->OnFilePrintPreview();
  Settle();
  wxPreviewFrame* preview = nullptr;
  for (wxWindow* window : wxTopLevelWindows)
    if (auto* found = dynamic_cast<wxPreviewFrame*>(window)) preview = found;
  ASSERT_NE(preview, nullptr) << (ui.messages.empty() ? "" : ui.messages[0].first);
  const long grown = PeakMemoryKb() - idle;
  preview->Close(true);  // as its close button: the frame gives the other windows back
  Settle();
  EXPECT_TRUE(frame->IsEnabled());
  EXPECT_LT(grown, 40 * 1024) << "kB";

  // A page of 1200 x 1600 printer pixels shown 300 wide: the target fills the
  // width, 225 rows high.
  Print(1200, 1600, 150, 150, 300);
  EXPECT_EQ(At(1, 1), red);
  EXPECT_EQ(At(298, 1), green);
  EXPECT_EQ(At(1, 223), blue);
  EXPECT_EQ(At(298, 223), grey);
  EXPECT_EQ(At(150, 227), white);
}

}  // namespace
