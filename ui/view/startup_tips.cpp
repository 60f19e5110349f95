#include "ui/view/startup_tips.h"

#include <wx/dcclient.h>
#include <wx/stdpaths.h>

#include "ui/view/tip_box.h"

namespace {

constexpr uint32_t tip_background = 0xDDFFEE;

std::optional<std::vector<std::filesystem::path>> folders_override;

}  // namespace

std::vector<std::filesystem::path> StartupTipsFolders() {
  if (folders_override) return *folders_override;
  namespace fs = std::filesystem;
  std::vector<fs::path> folders{fs::path(".")};
  const fs::path program = wxStandardPaths::Get().GetExecutablePath().utf8_string();
  if (!program.empty()) {
    folders.push_back(program.parent_path());
    folders.push_back(program.parent_path().parent_path() / "share" / "vorbel");
  }
#ifdef VORBEL_DATA_DIR
  folders.emplace_back(VORBEL_DATA_DIR);
#endif
  return folders;
}

void SetStartupTipsFolders(std::optional<std::vector<std::filesystem::path>> folders) {
  folders_override = std::move(folders);
}

startup_tips::startup_tips(wxWindow* parent, tip_lines tips_read)
    : wxWindow(parent, window_id, wxPoint(100, 500), wxSize(600, 200), wxBORDER_NONE, "tips"),
      tips(std::move(tips_read)) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Bind(wxEVT_PAINT, &startup_tips::OnPaint, this);
  // The first tip shows at once rather than after the first step.
  Arrange();
}

void startup_tips::Arrange() {
  const wxFont font{wxFontInfo(10)};
  const std::string text = DisplayableText(tips.ShownAt(tip_step));
  layout = LayOutStartupTip(text, MeasureIn(this, font), tip_step % 64);
  SetSize(layout.width, layout.height);
}

void startup_tips::DrawTip() {
  Arrange();
  Refresh();
  Update();
  tip_step = NextTipStep(tip_step, tips.Count());
}

void startup_tips::OnPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  PaintTipBox(dc, layout, tip_background, wxFont(wxFontInfo(10)));
}
