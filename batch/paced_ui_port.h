#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "platform/ui_port.h"

// The port to the windows while a batch runs. What would be painted at once (the
// file names, the statistics, the status bar's progress and text, the title) is
// kept, the latest of each, and painted when the run shows its progress: the
// painting never holds up the pairs. Before a message the run first reports what
// it owes (before_message), and what was kept is painted, so that the window under
// the box is up to date. The rest goes straight through: the dialogs among it cannot
// be opened while a run holds the window.
class paced_ui_port : public ui_port {
 public:
  paced_ui_port(ui_port& inner, std::function<void()> before_message)
      : inner(inner), before_message(std::move(before_message)) {}

  // Paints what was kept since the last time.
  void Paint();
  // The status text given last.
  const std::string& StatusText() const { return text.value; }

  void ShowStatusProgress(uint32_t colour, int percent) override;
  void RedrawStats() override { stats_changed = true; }
  void SetSourceFileName(const std::string& text, int s) override;
  void ShowStatusText(const std::string& text) override;
  void SetDocumentTitle(const std::string& title) override;

  int MessageBox(const std::string& text, message_icon icon) override;
  bool AskYesNo(const std::string& text) override;
  int RunReplaceSource() override { return inner.RunReplaceSource(); }
  bool AskSaveFileName(save_file_request& request) override {
    return inner.AskSaveFileName(request);
  }
  bool RunTextEntry(CvorbelDoc& document, int index, bool replacing) override {
    return inner.RunTextEntry(document, index, replacing);
  }
  void MoveSourceToFixPosition(int s) override { inner.MoveSourceToFixPosition(s); }
  void SetScaleProperty(int s, int axis, int percent) override {
    inner.SetScaleProperty(s, axis, percent);
  }
  void SetFitProperty(int s, bool fit) override { inner.SetFitProperty(s, fit); }
  void SetMirrorImage(int s, bool mirrored) override { inner.SetMirrorImage(s, mirrored); }
  void AdjustLayout() override { inner.AdjustLayout(); }
  void ShowFontSize(int s, int height) override { inner.ShowFontSize(s, height); }

 private:
  // A value kept until it is painted.
  template <typename value_type>
  struct kept {
    value_type value{};
    bool changed = false;
    void Set(const value_type& to) { value = to, changed = true; }
    bool Take() { return std::exchange(changed, false); }
  };
  struct progress {
    uint32_t colour;
    int percent;
  };
  // Reports what the run owes and paints what was kept, before a box.
  void BeforeBox();

  ui_port& inner;
  std::function<void()> before_message;
  kept<progress> bar;
  kept<std::string> names[2];
  kept<std::string> text;
  kept<std::string> title;
  bool stats_changed = false;
};
