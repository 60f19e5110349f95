#include "ui/view/tip_box.h"

#include "ui/adapters/status_bar.h"

text_measure MeasureIn(const wxWindow* window, const wxFont& font) {
  return [window, font](const std::string& text) {
    int width = 0, height = 0;
    window->GetTextExtent(wxString::FromUTF8(text), &width, &height, nullptr, nullptr, &font);
    if (height <= 0) window->GetTextExtent("Ag", nullptr, &height, nullptr, nullptr, &font);
    return text_extent{width, height};
  };
}

void PaintTipBox(wxDC& dc, const tip_layout& layout, uint32_t background, const wxFont& font) {
  const wxColour colour = FromColorRef(background);
  dc.SetBackground(wxBrush(colour));
  dc.Clear();
  dc.SetFont(font);
  dc.SetTextForeground(*wxBLACK);
  dc.SetTextBackground(colour);
  dc.SetBackgroundMode(wxBRUSHSTYLE_SOLID);
  for (size_t i = 0; i < layout.lines.size(); ++i)
    dc.DrawText(wxString::FromUTF8(layout.lines[i]), 5,
                layout.first_line_y + int(i) * layout.line_height);
  const int right = layout.width - 1, bottom = layout.height - 1;
  const wxPoint frame[] = {{0, 0}, {0, bottom}, {right, bottom}, {right, 0}, {0, 0}};
  dc.SetPen(*wxBLACK_PEN);
  dc.DrawLines(5, frame);
}
