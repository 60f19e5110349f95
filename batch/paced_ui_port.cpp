#include "batch/paced_ui_port.h"

#include <utility>

void paced_ui_port::Paint() {
  if (title.Take()) inner.SetDocumentTitle(title.value);
  for (int s = 0; s < 2; ++s)
    if (names[s].Take()) inner.SetSourceFileName(names[s].value, s + 1);
  if (std::exchange(stats_changed, false)) inner.RedrawStats();
  if (bar.Take()) inner.ShowStatusProgress(bar.value.colour, bar.value.percent);
  if (text.Take()) inner.ShowStatusText(text.value);
}

void paced_ui_port::ShowStatusProgress(uint32_t colour, int percent) { bar.Set({colour, percent}); }

void paced_ui_port::SetSourceFileName(const std::string& name, int s) {
  if (s == 1 || s == 2) names[s - 1].Set(name);
}

void paced_ui_port::ShowStatusText(const std::string& status) { text.Set(status); }

void paced_ui_port::SetDocumentTitle(const std::string& document_title) { title.Set(document_title); }

void paced_ui_port::BeforeBox() {
  if (before_message) before_message();
  Paint();
}

int paced_ui_port::MessageBox(const std::string& message, message_icon icon) {
  BeforeBox();
  return inner.MessageBox(message, icon);
}

bool paced_ui_port::AskYesNo(const std::string& question) {
  BeforeBox();
  return inner.AskYesNo(question);
}
