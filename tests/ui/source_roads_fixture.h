#pragma once
#include <wx/clipbrd.h>
#include <wx/process.h>
#include <wx/utils.h>

#include <string>
#include <vector>

#include "tests/ui/app_fixture.h"
#include "tests/ui/dialog_clicks.h"
#include "tests/ui/wait_for.h"
#include "ui/view/view.h"

// Offers a file's bytes on the clipboard as a type through xclip, which serves them
// until it is ended.
class xclip_offer {
 public:
  xclip_offer(const std::string& path, const std::string& type) {
    const char* argv[] = {"xclip", "-quiet", "-selection", "clipboard", "-t", type.c_str(), "-i", path.c_str(),
                          nullptr};
    pid = wxExecute(argv, wxEXEC_ASYNC);
    WaitFor([&] { return Offered(type); });
  }
  ~xclip_offer() {
    if (pid <= 0) return;
    wxKill(pid, wxSIGTERM);
    WaitFor([this] { return !wxProcess::Exists(pid); });
  }
  static bool Offered(const std::string& type) {
    if (!wxTheClipboard->Open()) return false;
    const bool offered = wxTheClipboard->IsSupported(wxDataFormat(type));
    wxTheClipboard->Close();
    return offered;
  }

 private:
  long pid = 0;
};

// A started application; sources come from plain images.
class source_roads : public app_fixture {
 protected:
  void SetUp() override {
    app_fixture::SetUp();
    Start();
  }
  recording_port& Port() { return *app.port; }
  CvorbelView& View() { return *app.Frame()->View(); }
  CvorbelDoc& Doc() { return *View().GetDocument(); }
  // Loads n plain sources, source 1 red and source 2 blue, 40 x 30.
  void LoadSources(int n) {
    for (int s = 1; s <= n; ++s) {
      const std::string path = PlainImage("plain" + std::to_string(s) + ".png", 40, 30, s == 1 ? 200 : 0, 0,
                                          s == 1 ? 0 : 200);
      ASSERT_TRUE(app.OpenDocumentFile(path));
    }
    Settle();
  }
};
