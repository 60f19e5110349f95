#include "ui/dialogs/dialog_finish.h"

void FinishDialog(wxDialog& dialog, int code) {
  if (dialog.IsModal()) {
    dialog.EndModal(code);
  } else {
    dialog.SetReturnCode(code);
    dialog.Hide();
  }
}
