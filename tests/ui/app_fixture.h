#pragma once
#include <gtest/gtest.h>

#include <wx/image.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/base/process_state.h"
#include "platform/settings.h"
#include "tests/ui/test_app.h"
#include "ui/adapters/status_bar.h"
#include "ui/app/main_frame.h"

// What the X server shows of a window's client area now, read straight from the
// server (wx's screen device context may answer from an older copy).
wxImage ScreenOf(wxWindow* window);

inline wxColour ColourAt(const wxImage& image, int x, int y) {
  return wxColour(image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y));
}

// A started application with its own settings file in a scratch folder.
class app_fixture : public testing::Test {
 protected:
  void SetUp() override {
    folder = std::filesystem::temp_directory_path() /
             ("vorbel-ui-" + std::to_string(::getpid()) + "-" +
              testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    app.imaging_works = true;
    app.dialog_answer.reset();
    app.dialog_questions.clear();
    app.settings_file = (folder / "vorbel.conf").string();
  }
  void TearDown() override {
    if (started) Stop();
    std::filesystem::remove_all(folder);
  }

  void Start(std::vector<std::string> files = {}) {
    app.command_line_files = std::move(files);
    ASSERT_TRUE(app.InitInstance());
    started = true;
    Settle();
  }
  void Stop() {
    app.ExitInstance();
    started = false;
    Settle();
  }
  static void Settle() { for (int i = 0; i < 3; ++i) wxTheApp->ProcessPendingEvents(), wxYield(); }

  // Writes a w x h PNG of one colour in the scratch folder.
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

  message_list& Messages() { return app.port->messages; }
  void Command(int id) {
    wxCommandEvent event(wxEVT_MENU, id);
    app.Frame()->ProcessWindowEvent(event);
  }
  bool Enabled(int command) {
    wxUpdateUIEvent event(WxId(command));
    event.SetEventObject(app.Frame());
    app.Frame()->ProcessWindowEvent(event);
    return event.GetSetEnabled() ? event.GetEnabled() : true;
  }
  static wxRect Pane(int pane) {
    wxRect rect;
    the_status_bar->GetFieldRect(pane, rect);
    return rect;
  }
  static void MoveOverBar(int x, int y = 5) {
    wxMouseEvent move(wxEVT_MOTION);
    move.SetPosition({x, y});
    the_status_bar->OnMouseMove(move);
  }

  test_app& app = static_cast<test_app&>(*wxTheApp);
  std::filesystem::path folder;
  bool started = false;
};
