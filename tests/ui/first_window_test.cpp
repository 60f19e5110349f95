#include <gtk/gtk.h>

#include <wx/dnd.h>
#include <wx/log.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tests/ui/app_fixture.h"
#include "ui/about_dialog.h"
#include "ui/background_bitmaps.h"
#include "ui/view.h"

// Last: Xlib's macros would clash with wx names.
#include <X11/Xlib.h>
#include <gdk/gdkx.h>

namespace {

// Counts what is logged as an error or warning while it lives.
class log_counter : public wxLog {
 public:
  log_counter() : previous(wxLog::SetActiveTarget(this)) {}
  ~log_counter() override { wxLog::SetActiveTarget(previous); }
  int complaints = 0;

 protected:
  void DoLogRecord(wxLogLevel level, const wxString&, const wxLogRecordInfo&) override {
    if (level <= wxLOG_Warning) ++complaints;
  }

 private:
  wxLog* previous;
};

class first_window : public app_fixture {
 protected:
  // Whether the view shows, at a few points clear of buttons and prompts, the
  // background of the given start mode (0 or 1 sources).
  bool ShowsStartMode(int count) {
    const wxImage tile = (count == 0 ? NoSourceBackground() : OneSourceBackground()).ConvertToImage();
    auto matches = [&] {
      const wxImage shown = ScreenOf(app.Frame()->View());
      for (wxPoint p : {wxPoint(40, 40), wxPoint(60, 200), wxPoint(30, 420)})
        if (ColourAt(shown, p.x, p.y) != ColourAt(tile, p.x, p.y)) return false;
      return true;
    };
    // The window system paints on its own clock: give it a moment.
    for (int i = 0; i < 25; ++i, wxMilliSleep(20)) {
      Settle();
      if (matches()) return true;
    }
    return false;
  }
  std::string SettingsText() {
    std::ostringstream text;
    text << std::ifstream(folder / "vorbel.conf").rdbuf();
    return text.str();
  }
};

TEST_F(first_window, TheViewShowsTheStartModeOfTheSourcesLoadedNow) {
  // A missing file on the command line: the count is raised while its message runs
  // and the view paints meanwhile; afterwards it must show no source again.
  const std::string missing = (folder / "missing.png").string();
  Start();
  // A real box over the view has it repainted while the box is up.
  app.port->while_shown = [this] {
    app.Frame()->View()->Refresh();
    for (int i = 0; i < 5; ++i) wxMilliSleep(20), Settle();
  };
  app.OpenDocumentFile(missing);
  EXPECT_TRUE(ShowsStartMode(0));
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].first.find(missing), std::string::npos) << Messages()[0].first;

  ASSERT_TRUE(app.OpenDocumentFile(PlainImage("one.png", 40, 30, 9, 9, 9)));
  EXPECT_TRUE(ShowsStartMode(1));
}

TEST_F(first_window, ADropReturnsAtOnceAndItsFilesOpenJustAfter) {
  Start();
  auto* target = static_cast<wxFileDropTarget*>(app.Frame()->GetDropTarget());
  ASSERT_NE(target, nullptr);
  wxArrayString names;
  names.Add((folder / "gone.png").string());
  names.Add(PlainImage("dropped.png", 8, 8, 1, 2, 3));
  EXPECT_TRUE(target->OnDropFiles(5, 5, names));
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(source_count, 0);
  Settle();
  EXPECT_EQ(Messages().size(), 1u);
  EXPECT_EQ(source_count, 1);
}

TEST_F(first_window, SettingsLiveInTheXdgFolderAndBadLinesAreSkippedQuietly) {
  const char* old_xdg = std::getenv("XDG_CONFIG_HOME");
  const std::string saved_xdg = old_xdg ? old_xdg : "";
  setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
  app.settings_file.clear();
  Start();
  the_settings().WriteInt("Configure", "canvas_width", 640);
  Stop();
  if (old_xdg)
    setenv("XDG_CONFIG_HOME", saved_xdg.c_str(), 1);
  else
    unsetenv("XDG_CONFIG_HOME");
  EXPECT_TRUE(std::filesystem::exists(folder / "config" / "vorbel" / "vorbel.conf"));

  app.settings_file = (folder / "vorbel.conf").string();
  WriteFile("vorbel.conf", "ApplicationLook=216\nno equals sign here\n[Configure\n[Configure]\n"
                           "Viewing Scale 80\nViewing Scale=90\n");
  {
    log_counter log;
    Start();
    Stop();
    EXPECT_EQ(log.complaints, 0);
  }
  Start({PlainImage("only.png", 8, 8, 1, 2, 3)});
  EXPECT_EQ(app.app_look, 216);
  EXPECT_EQ(CvorbelApp::viewing_scale, 90);
  Stop();
  // One recent file: one key, no empty places.
  const std::string text = SettingsText();
  EXPECT_NE(text.find("file1="), std::string::npos) << text;
  EXPECT_EQ(text.find("file2"), std::string::npos) << text;
}

TEST_F(first_window, WithoutABrowserTheHelpPageSaysSoInItsOwnWords) {
  Start();
  const std::string saved_path = std::getenv("PATH") ? std::getenv("PATH") : "";
  std::filesystem::create_directory(folder / "empty");
  setenv("PATH", (folder / "empty").c_str(), 1);
  unsetenv("BROWSER");
  {
    log_counter log;
    app.OpenHelpPage(faq_page_path);
    EXPECT_EQ(log.complaints, 0);
  }
  setenv("PATH", saved_path.c_str(), 1);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].first.find(std::string(site_address) + faq_page_path), std::string::npos);
  EXPECT_EQ(Messages()[0].first.find("error"), std::string::npos);
}

void CountCritical(const gchar*, GLogLevelFlags, const gchar*, gpointer count) {
  ++*static_cast<int*>(count);
}

// Without a window manager nothing holds a window to its size hints.
TEST_F(first_window, SqueezingTheWindowBelowItsMinimumLeavesGtkQuiet) {
  Start();
  int criticals = 0;
  const guint handler =
      g_log_set_handler("Gtk", GLogLevelFlags(G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING),
                        CountCritical, &criticals);
  auto* display = static_cast<Display*>(wxGetDisplayInfo().dpy);
  XResizeWindow(display, gdk_x11_window_get_xid(gtk_widget_get_window(app.Frame()->GetHandle())),
                100, 100);
  XSync(display, False);
  for (int i = 0; i < 10; ++i) wxMilliSleep(20), Settle();
  g_log_remove_handler("Gtk", handler);
  EXPECT_EQ(criticals, 0);
}

}  // namespace
