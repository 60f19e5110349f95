#include <wx/frame.h>

#include "batch/batch_driver.h"
#include "ui/app/app.h"
#include "ui/app/main_frame.h"
#include "ui/batch/batch_dialogs.h"
#include "ui/batch/batch_host_wx.h"

bool CvorbelApp::RunBatchDialog(batch_choices& choices) {
  batch_vorbel dialog(frame, choices);
  return dialog.ShowModal() == wxID_OK;
}

void CvorbelApp::OnBatchVorbel(wxCommandEvent&) {
  if (batch_running || !document || !frame) return;
  batch_running = true;
  bool close_afterwards = false;
  {
    wx_batch_host host(*document, frame->View(), frame,
                       [this](batch_choices& choices) { return RunBatchDialog(choices); });
    RunBatch(*document, host);
    close_afterwards = host.close_requested;
  }
  batch_running = false;
  if (close_afterwards && frame) frame->Close();
}
