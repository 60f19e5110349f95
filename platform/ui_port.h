#pragma once
#include <cstdint>
#include <string>

class CvorbelDoc;

enum class message_icon { none, error, warning, information, question };

// A save-file dialog's question and answer. The filter is "label|pattern" pairs
// joined by "|"; filter_index counts from 1 (0: the dialog's first).
struct save_file_request {
  std::string filter;
  std::string initial_folder;  // empty: the dialog's own choice
  int filter_index = 0;        // asked with, and the one chosen
  std::string path;            // chosen: the full path
  std::string name;            // chosen: the file name alone
};

// What the GUI-free core needs of the window layer. The wx layer installs its
// implementation in the_ui; without one (headless tools, tests) the calls do nothing.
class ui_port {
 public:
  virtual ~ui_port() = default;
  // Paints the status bar's progress pane: colour is a COLORREF (red in the low byte).
  virtual void ShowStatusProgress(uint32_t colour, int percent) { (void)colour, (void)percent; }
  // Status-bar pane 4 shows text, repainted at once.
  virtual void ShowStatusText(const std::string& text) { (void)text; }
  // Invalidates and repaints the statistics window with its children.
  virtual void RedrawStats() {}
  // A modal message box; returns the id of the button pressed (1 = OK).
  virtual int MessageBox(const std::string& text, message_icon icon) {
    (void)text, (void)icon;
    return 1;
  }
  // A modal yes/no question; true for yes.
  virtual bool AskYesNo(const std::string& text) {
    (void)text;
    return false;
  }

  // The "Replace Source Image" dialog: 129 replaces source 1, 130 source 2, 2 cancels.
  virtual int RunReplaceSource() { return 2; }
  // The save-file dialog, asking before it overwrites; false when cancelled.
  virtual bool AskSaveFileName(save_file_request& request) {
    (void)request;
    return false;
  }
  // The properties pane's file-name strip of source s (1 or 2) shows text, repainted at once.
  virtual void SetSourceFileName(const std::string& text, int s) { (void)text, (void)s; }
  // The view places source s (1 or 2) at its fix position and recombines.
  virtual void MoveSourceToFixPosition(int s) { (void)s; }
  // The properties pane's grid shows source s's scale percent (axis 0 vertical,
  // 1 horizontal) or its fit-to-target flag, without acting on it.
  virtual void SetScaleProperty(int s, int axis, int percent) { (void)s, (void)axis, (void)percent; }
  virtual void SetFitProperty(int s, bool fit) { (void)s, (void)fit; }
  // The pane's mirror button of source s shows whether the source is mirrored.
  virtual void SetMirrorImage(int s, bool mirrored) { (void)s, (void)mirrored; }
  // The properties pane lays itself out again.
  virtual void AdjustLayout() {}
  // The text dialog for source index (0 or 1) of document; true when it ended with OK.
  virtual bool RunTextEntry(CvorbelDoc& document, int index, bool replacing) {
    (void)document, (void)index, (void)replacing;
    return false;
  }
  // The properties pane's point-size box of text source s (1 or 2) shows the size of
  // a font of this height, repainted at once.
  virtual void ShowFontSize(int s, int height) { (void)s, (void)height; }
  // The main window shows the document's title.
  virtual void SetDocumentTitle(const std::string& title) { (void)title; }
};

ui_port& the_ui();
// Installs port (not owned) as the_ui; nullptr restores the silent default.
void SetUiPort(ui_port* port);
