#include <gtest/gtest.h>

#include <wx/evtloop.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/log.h>

#include "tests/ui/test_app.h"

// The window tests share one application per process, started before any test,
// with an event loop active so that yields, timers and modal dialogs work.
int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  wxApp::SetInstance(new test_app);
  if (!wxEntryStart(argc, argv)) return 1;
  wxInitAllImageHandlers();
  // Complaints that the program shows in a window go to the test's output instead.
  delete wxLog::SetActiveTarget(new wxLogStderr);
  int result = 0;
  {
    wxGUIEventLoop loop;
    wxEventLoopActivator active(&loop);
    result = RUN_ALL_TESTS();
  }
  wxEntryCleanup();
  return result;
}
