#pragma once
#include <gtest/gtest.h>

#include <wx/frame.h>

#include "engine/base/process_state.h"
#include "platform/settings.h"
#include "sources/document.h"
#include "tests/ui/test_app.h"
#include "ui/view/view.h"

// A shown frame of its own holding one view of a fresh document, without the
// application's settings file; messages go to a recording port.
class frame_fixture : public testing::Test {
 protected:
  static constexpr int client_width = 800, client_height = 600;

  void SetUp() override {
    SetUiPort(&ui);
    SetSettingsStore(nullptr);
  }
  void TearDown() override {
    frame->Destroy();
    Settle();
    SetUiPort(nullptr);
    source_count = target_width = target_height = 0;
  }
  static void Settle() {
    wxTheApp->ProcessPendingEvents();
    wxYield();
    wxTheApp->ProcessIdle();
  }

  // Shows the frame with a view of kind View filling its client area.
  template <class View>
  View* ShowView(const char* title) {
    frame = new wxFrame(nullptr, wxID_ANY, title);
    frame->SetClientSize(client_width, client_height);
    auto* made = new View(frame, &doc);
    made->SetSize(0, 0, client_width, client_height);
    frame->Show();
    return made;
  }

  recording_port ui;
  CvorbelDoc doc;
  wxFrame* frame = nullptr;
};
