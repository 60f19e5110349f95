#pragma once
#include <string>

class wxCommandEvent;
class wxFrame;

// What the windows below the application ask of it. The application registers itself
// here while it lives, so that a window, a dialog or the command table needs no more
// than this of it; null without an application.
class app_services {
 public:
  // While a batch runs a second cannot start, and the commands that would change
  // the sources or their placement wait.
  virtual bool BatchActive() const = 0;
  // The main frame; null before it is made and after it has gone.
  virtual wxFrame* MainFrame() const = 0;
  // Asks for an image file; the empty string when cancelled.
  virtual std::string AskImageFileName() = 0;
  // Opens site_address + path in the default browser; says so when there is none.
  virtual void OpenHelpPage(const char* path) = 0;
  // The batch: every image of source 2's folder combined and saved in turn.
  virtual void OnBatchVorbel(wxCommandEvent& event) = 0;

 protected:
  ~app_services() = default;
};

inline app_services* the_app_services = nullptr;
