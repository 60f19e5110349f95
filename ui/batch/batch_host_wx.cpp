#include "ui/batch/batch_host_wx.h"

#include <wx/evtloop.h>
#include <wx/frame.h>
#include <wx/msgdlg.h>

#include "ui/commands/app_services.h"
#include "ui/view/view.h"

wx_batch_host::wx_batch_host(CvorbelDoc& document, CvorbelView* view, wxFrame* frame,
                             std::function<bool(batch_choices&)> dialog)
    : document_batch_host(document, view), frame(frame), dialog(std::move(dialog)) {
  if (!frame) return;
  frame->Bind(wxEVT_CHAR_HOOK, &wx_batch_host::OnCharHook, this);
  frame->Bind(wxEVT_CLOSE_WINDOW, &wx_batch_host::OnClose, this);
}

wx_batch_host::~wx_batch_host() {
  // A close that could not be held back may have taken the frame already.
  if (!frame || !the_app_services || the_app_services->MainFrame() != frame) return;
  frame->Unbind(wxEVT_CHAR_HOOK, &wx_batch_host::OnCharHook, this);
  frame->Unbind(wxEVT_CLOSE_WINDOW, &wx_batch_host::OnClose, this);
}

bool wx_batch_host::RunBatchDialog(batch_choices& choices) { return dialog && dialog(choices); }

void wx_batch_host::SetMoveSizeSource(int mode) {
  if (view) view->SetMoveSizeSource(mode);
}

namespace {

void Pump(long categories) {
  wxEventLoopBase* loop = wxEventLoopBase::GetActive();
  if (loop && !loop->IsYielding()) loop->YieldFor(categories);
}

}  // namespace

void wx_batch_host::PumpAll() { Pump(wxEVT_CATEGORY_ALL); }

void wx_batch_host::PumpKeyboard() { Pump(wxEVT_CATEGORY_USER_INPUT); }

bool wx_batch_host::TakeEscape() {
  const bool pressed = escape_pressed;
  escape_pressed = false;
  return pressed;
}

bool wx_batch_host::AskYesNo(const std::string& text) {
  return wxMessageBox(wxString::FromUTF8(text), "vorbel", wxYES_NO | wxICON_QUESTION, frame) ==
         wxYES;
}

void wx_batch_host::OnCharHook(wxKeyEvent& event) {
  if (event.GetKeyCode() == WXK_ESCAPE)
    escape_pressed = true;
  else
    event.Skip();
}

void wx_batch_host::OnClose(wxCloseEvent& event) {
  close_requested = true;
  if (event.CanVeto())
    event.Veto();
  else
    event.Skip();
}
