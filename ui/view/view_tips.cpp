#include "ui/view/startup_tips.h"
#include "ui/view/view.h"

void CvorbelView::OpenStartupTips() {
  // A second start without sources replaces the tips rather than adding more.
  CloseStartupTips();
  tip_lines tips;
  if (!ReadTipsFileIn(StartupTipsFolders(), startup_tips::file_name, tips)) return;
  tips_timer.Start(100);
  tips_window = new startup_tips(this, std::move(tips));
}

void CvorbelView::CloseStartupTips() {
  tips_timer.Stop();
  if (tips_window) tips_window->Destroy();
  tips_window = nullptr;
}

void CvorbelView::OnTimer(wxTimerEvent& event) {
  if (event.GetId() == tips_timer_id && tips_window) tips_window->DrawTip();
  event.Skip();
}
