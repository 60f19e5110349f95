#pragma once
#include <wx/window.h>

#include <filesystem>
#include <optional>
#include <vector>

#include "sources/tip_layout.h"
#include "sources/tips_file.h"

// The window in the view that scrolls the start-up tips, one tip after another,
// while no source is loaded. The view's timer moves it on by DrawTip.
class startup_tips : public wxWindow {
 public:
  static constexpr int window_id = 149;
  static constexpr const char* file_name = "startup_tips.txt";

  startup_tips(wxWindow* parent, tip_lines tips);

  // One step: shows the current tip at its scroll phase, then moves a pixel on.
  void DrawTip();

  int Step() const { return tip_step; }
  const tip_layout& Shown() const { return layout; }

 private:
  void Arrange();
  void OnPaint(wxPaintEvent& event);

  tip_lines tips;
  int tip_step = 0;
  tip_layout layout;
};

// Where the tips file is looked for, in this order: the current folder, the
// executable's folder, and the installed data folder (beside the executable's
// bin folder, then where the build installs to).
std::vector<std::filesystem::path> StartupTipsFolders();
// Replaces those folders (tests); no value restores them.
void SetStartupTipsFolders(std::optional<std::vector<std::filesystem::path>> folders);
