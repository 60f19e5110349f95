#pragma once
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ui/app.h"
#include "ui/ui_port_wx.h"

// The application with its platform stand-ins replaced: message boxes and yes/no
// questions are recorded, the open-file dialog answers from a script, the browser
// is a list of addresses, and the imaging layer can be made to fail.
class test_app : public CvorbelApp {
 public:
  class recording_port : public wx_ui_port {
   public:
    int MessageBox(const std::string& text, message_icon icon) override {
      messages.emplace_back(text, icon);
      return 1;
    }
    bool AskYesNo(const std::string& text) override {
      messages.emplace_back(text, message_icon::question);
      return false;
    }
    int RunReplaceSource() override { return replace_choice; }
    std::vector<std::pair<std::string, message_icon>> messages;
    int replace_choice = 2;
  };

  bool imaging_works = true;
  std::optional<open_file_request> dialog_answer;  // none: the dialog is cancelled
  std::vector<open_file_request> dialog_questions;
  std::vector<std::string> browsed;
  recording_port* port = nullptr;

  void ResetFakes() {
    imaging_works = true;
    dialog_answer.reset();
    dialog_questions.clear();
    browsed.clear();
  }

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
  void LaunchBrowser(const std::string& url) override { browsed.push_back(url); }
  std::unique_ptr<ui_port> MakeUiPort() override {
    auto made = std::make_unique<recording_port>();
    port = made.get();
    return made;
  }
};

inline test_app& TheTestApp() { return static_cast<test_app&>(*wxTheApp); }
