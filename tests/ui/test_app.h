#pragma once
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "batch/batch_choices.h"
#include "ui/app/app.h"
#include "ui/app/ui_port_wx.h"

using message_list = std::vector<std::pair<std::string, message_icon>>;

// Records message boxes, questions and source labels instead of showing them; the
// replace dialog answers replace_choice, the text dialog runs text_answer (none:
// cancelled), a question answer_yes.
class recording_port : public wx_ui_port {
 public:
  int MessageBox(const std::string& text, message_icon icon) override {
    messages.emplace_back(text, icon);
    if (while_shown) while_shown();
    return 1;
  }
  int RunReplaceSource() override { return replace_choice; }
  bool RunTextEntry(CvorbelDoc& document, int index, bool replacing) override {
    ++text_dialogs;
    return text_answer && text_answer(document, index, replacing);
  }
  void SetSourceFileName(const std::string& text, int s) override {
    labels[s] = text;
    wx_ui_port::SetSourceFileName(text, s);
  }
  bool AskSaveFileName(save_file_request& request) override {
    return save_answer && save_answer(request);
  }
  bool AskYesNo(const std::string& text) override {
    questions.push_back(text);
    return answer_yes;
  }
  message_list messages;
  int replace_choice = 2;
  // What runs while a box would be on the screen (a real box runs the event loop).
  std::function<void()> while_shown;
  std::function<bool(CvorbelDoc&, int, bool)> text_answer;
  std::function<bool(save_file_request&)> save_answer;  // none: the save dialog is cancelled
  int text_dialogs = 0;
  std::map<int, std::string> labels;
  std::vector<std::string> questions;
  bool answer_yes = true;
};

// The application with a recording port, an open-file dialog that answers from a
// script and an imaging layer that can be made to fail.
class test_app : public CvorbelApp {
 public:
  bool imaging_works = true;
  std::optional<open_file_request> dialog_answer;  // none: the dialog is cancelled
  std::vector<open_file_request> dialog_questions;
  recording_port* port = nullptr;
  // Answers the batch dialog: fills in the choices, true for OK.
  std::function<bool(batch_choices&)> batch_dialog;

 protected:
  bool StartImaging() override { return imaging_works; }
  bool RunOpenFileDialog(open_file_request& request) override {
    dialog_questions.push_back(request);
    if (!dialog_answer) return false;
    request.path = dialog_answer->path;
    request.name = dialog_answer->name;
    request.filter_index = dialog_answer->filter_index;
    return true;
  }
  bool RunBatchDialog(batch_choices& choices) override {
    return batch_dialog && batch_dialog(choices);
  }
  std::unique_ptr<ui_port> MakeUiPort() override {
    auto made = std::make_unique<recording_port>();
    port = made.get();
    return made;
  }
};
