#pragma once
#include <wx/event.h>

#include <functional>

#include "batch/document_batch_host.h"

class wxFrame;
class CvorbelView;

// A batch run inside the window: the dialog, the two pumps between pairs, the
// status bar's count, and the frame's Esc key and close button. Esc is latched by
// a key hook, so that a press that begins and ends inside one pump still counts. A
// close asked for during the run is held back and reported; the run ends after its
// pair and the caller closes the window then.
class wx_batch_host : public document_batch_host {
 public:
  wx_batch_host(CvorbelDoc& document, CvorbelView* view, wxFrame* frame,
                std::function<bool(batch_choices&)> dialog);
  ~wx_batch_host() override;
  wx_batch_host(const wx_batch_host&) = delete;
  wx_batch_host& operator=(const wx_batch_host&) = delete;

  bool RunBatchDialog(batch_choices& choices) override;
  void SetMoveSizeSource(int mode) override;
  void PumpAll() override;
  void PumpKeyboard() override;
  bool TakeEscape() override;
  bool CloseRequested() override { return close_requested; }
  bool AskYesNo(const std::string& text) override;

  void OnCharHook(wxKeyEvent& event);
  void OnClose(wxCloseEvent& event);

  bool close_requested = false;

 private:
  wxFrame* frame;
  std::function<bool(batch_choices&)> dialog;
  bool escape_pressed = false;
};
