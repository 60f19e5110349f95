#include <gtest/gtest.h>

#include <wx/evtloop.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/log.h>

#include "tests/ui/test_app.h"
#include "ui/view/startup_tips.h"

// One application for all tests, in an event loop so that yields, timers and modal dialogs work.
int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  wxApp::SetInstance(new test_app);
  if (!wxEntryStart(argc, argv)) return 1;
  wxInitAllImageHandlers();
  delete wxLog::SetActiveTarget(new wxLogStderr);  // complaints to the output, not a window
  SetStartupTipsFolders(std::vector<std::filesystem::path>{});  // tips only where a test asks
  const int result = [] {
    wxGUIEventLoop loop;
    wxEventLoopActivator active(&loop);
    return RUN_ALL_TESTS();
  }();
  wxEntryCleanup();
  return result;
}
