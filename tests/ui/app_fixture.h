#pragma once
#include <gtest/gtest.h>

#include <wx/image.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/process_state.h"
#include "platform/settings.h"
#include "tests/ui/screen_grab.h"
#include "tests/ui/test_app.h"
#include "ui/main_frame.h"

// A started application with its own settings file in a scratch folder, ended
// after each test.
class app_fixture : public testing::Test {
 protected:
  void SetUp() override {
    folder = std::filesystem::temp_directory_path() /
             ("vorbel-ui-" + std::to_string(::getpid()) + "-" +
              testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    TheTestApp().ResetFakes();
    TheTestApp().settings_file = (folder / "vorbel.conf").string();
  }

  void TearDown() override {
    if (started) TheTestApp().ExitInstance();
    Settle();
    std::filesystem::remove_all(folder);
  }

  void Start(std::vector<std::string> files = {}) {
    TheTestApp().command_line_files = std::move(files);
    ASSERT_TRUE(TheTestApp().InitInstance());
    started = true;
    Settle();
  }

  void Stop() {
    TheTestApp().ExitInstance();
    started = false;
    Settle();
  }

  static void Settle() {
    for (int i = 0; i < 3; ++i) {
      wxTheApp->ProcessPendingEvents();
      wxYield();
    }
  }

  // Writes a w x h image of one colour as a PNG file in the scratch folder.
  std::string PlainImage(const std::string& name, int w, int h, unsigned char red,
                         unsigned char green, unsigned char blue) {
    wxImage image(w, h);
    image.SetRGB(wxRect(0, 0, w, h), red, green, blue);
    const std::string path = (folder / name).string();
    EXPECT_TRUE(image.SaveFile(path, wxBITMAP_TYPE_PNG));
    return path;
  }

  void WriteFile(const std::string& name, const std::string& bytes) {
    std::ofstream(folder / name, std::ios::binary) << bytes;
  }

  std::vector<std::pair<std::string, message_icon>>& Messages() {
    return TheTestApp().port->messages;
  }

  CMainFrame* Frame() { return TheTestApp().Frame(); }

  // Asks the frame whether a command of the menu is enabled now.
  bool Enabled(int command) {
    wxUpdateUIEvent event(WxId(command));
    event.SetEventObject(Frame());
    Frame()->ProcessWindowEvent(event);
    return event.GetSetEnabled() ? event.GetEnabled() : true;
  }

  std::filesystem::path folder;
  bool started = false;
};
