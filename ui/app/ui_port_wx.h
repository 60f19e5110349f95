#pragma once
#include "platform/ui_port.h"

// What the core asks of the window layer, done with wx: message boxes, the status
// bar's progress, the properties pane, the frame's title.
class wx_ui_port : public ui_port {
 public:
  void ShowStatusProgress(uint32_t colour, int percent) override;
  void ShowStatusText(const std::string& text) override;
  void RedrawStats() override;
  void SetSourceFileName(const std::string& text, int s) override;
  int MessageBox(const std::string& text, message_icon icon) override;
  bool AskYesNo(const std::string& text) override;
  int RunReplaceSource() override;
  bool RunTextEntry(CvorbelDoc& document, int index, bool replacing) override;
  bool AskSaveFileName(save_file_request& request) override;
  void MoveSourceToFixPosition(int s) override;
  void SetScaleProperty(int s, int axis, int percent) override;
  void SetFitProperty(int s, bool fit) override;
  void SetMirrorImage(int s, bool mirrored) override;
  void AdjustLayout() override;
  void ShowFontSize(int s, int height) override;
  void SetDocumentTitle(const std::string& title) override;
};

// The frame's title for a document title: the program's name alone when empty.
std::string FrameTitle(const std::string& document_title);
