#pragma once
#include <cstdint>
#include <string>

enum class message_icon { none, error, warning, information, question };

// What the GUI-free core needs of the window layer. The wx layer installs its
// implementation in the_ui; without one (headless tools, tests) the calls do nothing.
class ui_port {
 public:
  virtual ~ui_port() = default;
  // Paints the status bar's progress pane: colour is a COLORREF (red in the low byte).
  virtual void ShowStatusProgress(uint32_t colour, int percent) { (void)colour, (void)percent; }
  // Invalidates and repaints the statistics window with its children.
  virtual void RedrawStats() {}
  // A modal message box; returns the id of the button pressed (1 = OK).
  virtual int MessageBox(const std::string& text, message_icon icon) {
    (void)text, (void)icon;
    return 1;
  }
};

ui_port& the_ui();
// Installs port (not owned) as the_ui; nullptr restores the silent default.
void SetUiPort(ui_port* port);
