#include <gtk/gtk.h>

#include <wx/dnd.h>
#include <wx/filedlg.h>
#include <wx/log.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "tests/ui/app_fixture.h"
#include "tests/ui/wait_for.h"
#include "ui/adapters/open_file_dialog.h"
#include "ui/app/about_dialog.h"
#include "ui/view/background_bitmaps.h"
#include "ui/view/view.h"

// Last: Xlib's macros would clash with wx names.
#include <X11/Xlib.h>
#include <gdk/gdkx.h>

namespace {

// Counts the errors and warnings logged while it lives.
struct log_counter : wxLog {
  wxLog* previous = wxLog::SetActiveTarget(this);
  int complaints = 0;
  ~log_counter() override { wxLog::SetActiveTarget(previous); }
  void DoLogRecord(wxLogLevel level, const wxString&, const wxLogRecordInfo&) override {
    complaints += level <= wxLOG_Warning;
  }
};

using first_window = app_fixture;

// The start-mode background of count sources at a few points clear of buttons and
// prompts, polled while the window system paints on its own clock.
bool ShowsStartMode(wxWindow* view, int count) {
  const wxImage tile = (count == 0 ? NoSourceBackground() : OneSourceBackground()).ConvertToImage();
  return WaitFor([&] {
    const wxImage shown = ScreenOf(view);
    return ColourAt(shown, 40, 40) == ColourAt(tile, 40, 40) && ColourAt(shown, 30, 420) == ColourAt(tile, 30, 420);
  });
}

TEST_F(first_window, TheViewShowsTheStartModeOfTheSourcesLoadedNow) {
  Start();
  // The count is raised while a failed open's message is up and the view repaints
  // behind the box; afterwards the view must show no source again.
  app.port->while_shown = [this] {
    app.Frame()->View()->Refresh();
    for (int i = 0; i < 5; ++i) wxMilliSleep(20), Settle();
  };
  const std::string missing = (folder / "missing.png").string();
  app.OpenDocumentFile(missing);
  EXPECT_TRUE(ShowsStartMode(app.Frame()->View(), 0));
  EXPECT_EQ(Messages().at(0).first, "Failed to open document.\n" + missing);
  ASSERT_TRUE(app.OpenDocumentFile(PlainImage("one.png", 40, 30, 9, 9, 9)));
  EXPECT_TRUE(ShowsStartMode(app.Frame()->View(), 1));
}

TEST_F(first_window, ADropReturnsAtOnceAndItsFilesOpenJustAfter) {
  Start();
  wxArrayString names;
  names.Add((folder / "gone.png").string());
  names.Add(PlainImage("dropped.png", 8, 8, 1, 2, 3));
  EXPECT_TRUE(static_cast<wxFileDropTarget*>(app.Frame()->GetDropTarget())->OnDropFiles(5, 5, names));
  EXPECT_TRUE(Messages().empty());
  Settle();
  EXPECT_EQ(Messages().size(), 1u);
  EXPECT_EQ(source_count, 1);
}

TEST_F(first_window, SettingsLiveInTheXdgFolderAndBadLinesAreSkippedQuietly) {
  const std::string saved = std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : "";
  setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
  app.settings_file.clear();
  Start();
  Stop();
  saved.empty() ? unsetenv("XDG_CONFIG_HOME") : setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  EXPECT_TRUE(std::filesystem::exists(folder / "config" / "vorbel" / "vorbel.conf"));

  app.settings_file = (folder / "vorbel.conf").string();
  WriteFile("vorbel.conf", "ApplicationLook=216\nno equals sign\n[Configure\n[Configure]\nViewing Scale=90\n");
  {
    log_counter log;
    Start({PlainImage("only.png", 8, 8, 1, 2, 3)});
    EXPECT_EQ(log.complaints, 0);
  }
  EXPECT_EQ(app.app_look, 216);
  EXPECT_EQ(CvorbelApp::viewing_scale, 90);
  Stop();
  std::ifstream file(folder / "vorbel.conf");
  const std::string text{std::istreambuf_iterator<char>(file), {}};
  EXPECT_NE(text.find("file1="), std::string::npos);
  EXPECT_EQ(text.find("file2"), std::string::npos);  // no empty places of the recent-file list
}

TEST_F(first_window, WithoutABrowserTheHelpPageSaysSoInItsOwnWords) {
  Start();
  const std::string path = std::getenv("PATH");
  setenv("PATH", folder.c_str(), 1);  // no xdg-open, no browser
  unsetenv("BROWSER");
  {
    log_counter log;
    app.OpenHelpPage(faq_page_path);
    EXPECT_EQ(log.complaints, 0);
  }
  setenv("PATH", path.c_str(), 1);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].first.find(std::string(site_address) + faq_page_path), std::string::npos);
}

void CountCritical(const gchar*, GLogLevelFlags, const gchar*, gpointer count) { ++*static_cast<int*>(count); }

// Without a window manager nothing holds a window to its size hints.
TEST_F(first_window, SqueezingTheWindowBelowItsMinimumLeavesGtkQuiet) {
  Start();
  int criticals = 0;
  const guint handler = g_log_set_handler("Gtk", G_LOG_LEVEL_CRITICAL, CountCritical, &criticals);
  auto* display = static_cast<Display*>(wxGetDisplayInfo().dpy);
  XResizeWindow(display, gdk_x11_window_get_xid(gtk_widget_get_window(app.Frame()->GetHandle())), 100, 100);
  XSync(display, False);
  for (int i = 0; i < 10; ++i) wxMilliSleep(20), Settle();
  g_log_remove_handler("Gtk", handler);
  EXPECT_EQ(criticals, 0);
}

TEST_F(first_window, CameraFilesShowUnderTheirFilterWhateverTheirCase) {
  Start();
  open_file_request request;
  request.filter = open_image_filter;
  // Each name and the filter it belongs to; the last filter, "All Files", shows all.
  const std::pair<const char*, int> names[] = {{"A.BMP", 0}, {"IMG_0001.JPG", 1}, {"b.jpeg", 1},
                                               {"C.Png", 2}, {"D.TIF", 3},        {"f.pcx", 5}};
  const auto dialog = MakeOpenFileDialog(app.Frame(), request);
  GSList* filters = gtk_file_chooser_list_filters(GTK_FILE_CHOOSER(dialog->GetHandle()));
  ASSERT_EQ(g_slist_length(filters), guint(open_image_filter_count));
  EXPECT_EQ(gtk_file_chooser_get_filter(GTK_FILE_CHOOSER(dialog->GetHandle())), filters->data);
  int index = 0;
  for (GSList* f = filters; f; f = f->next, ++index)
    for (auto [name, home] : names) {
      GtkFileFilterInfo info{GTK_FILE_FILTER_DISPLAY_NAME, nullptr, nullptr, name, nullptr};
      EXPECT_EQ(bool(gtk_file_filter_filter(GTK_FILE_FILTER(f->data), &info)),
                index == home || index == open_image_filter_count - 1)
          << name << " under " << gtk_file_filter_get_name(GTK_FILE_FILTER(f->data));
    }
  g_slist_free(filters);
}

}  // namespace
