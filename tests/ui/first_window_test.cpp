#include <gtk/gtk.h>

#include <wx/dnd.h>
#include <wx/filedlg.h>
#include <wx/log.h>
#include <wx/menu.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tests/ui/app_fixture.h"
#include "ui/about_dialog.h"
#include "ui/app_look.h"
#include "ui/background_bitmaps.h"
#include "ui/open_file_dialog.h"
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

TEST_F(first_window, CameraFilesShowUnderTheirFilterWhateverTheirCase) {
  Start();
  open_file_request request;
  request.filter = open_image_filter;
  // Each name with the filter it belongs to; the last filter, "All Files", shows all.
  const std::pair<const char*, int> names[] = {{"A.BMP", 0},  {"scan.bmp", 0}, {"IMG_0001.JPG", 1},
                                               {"b.jpeg", 1}, {"C.Png", 2},    {"D.TIF", 3},
                                               {"E.TGA", 4},  {"f.pcx", 5}};
  const auto dialog = MakeOpenFileDialog(app.Frame(), request);
  auto* chooser = GTK_FILE_CHOOSER(dialog->GetHandle());
  GSList* filters = gtk_file_chooser_list_filters(chooser);
  ASSERT_EQ(g_slist_length(filters), guint(open_image_filter_count));
  EXPECT_STREQ(gtk_file_filter_get_name(GTK_FILE_FILTER(filters->data)), "Bitmap Files (*.bmp)");
  EXPECT_EQ(gtk_file_chooser_get_filter(chooser), filters->data);
  int index = 0;
  for (GSList* f = filters; f; f = f->next, ++index)
    for (auto [name, home] : names) {
      GtkFileFilterInfo info{};
      info.contains = GTK_FILE_FILTER_DISPLAY_NAME;
      info.display_name = name;
      EXPECT_EQ(bool(gtk_file_filter_filter(GTK_FILE_FILTER(f->data), &info)),
                index == home || index == open_image_filter_count - 1)
          << name << " under filter " << index;
    }
  request.filter_index = 4;  // remembered from an earlier choice
  const auto again = MakeOpenFileDialog(app.Frame(), request);
  EXPECT_STREQ(gtk_file_filter_get_name(gtk_file_chooser_get_filter(GTK_FILE_CHOOSER(again->GetHandle()))),
               "Tif Files (*.tif)");
  g_slist_free(filters);
}

TEST_F(first_window, TheLooksAreOneChoiceAndEveryMenuItemHasAPrompt) {
  Start();
  wxMenuBar* bar = app.Frame()->GetMenuBar();
  app.Frame()->OnApplicationLook(cmd_look_black);
  bar->UpdateMenus();
  for (int id = first_look_id; id <= last_look_id; ++id) {
    wxMenuItem* item = bar->FindItem(id);
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(gtk_check_menu_item_get_draw_as_radio(GTK_CHECK_MENU_ITEM(item->GetMenuItem())));
    EXPECT_EQ(item->IsChecked(), id == cmd_look_black) << id;
  }

  std::function<void(wxMenu*)> check_prompts = [&](wxMenu* menu) {
    for (wxMenuItem* item : menu->GetMenuItems())
      if (item->GetSubMenu())
        check_prompts(item->GetSubMenu());
      else if (!item->IsSeparator())
        EXPECT_FALSE(item->GetHelp().empty()) << item->GetItemLabelText();
  };
  for (size_t i = 0; i < bar->GetMenuCount(); ++i) check_prompts(bar->GetMenu(i));

  // Highlighting an item shows its prompt in the first pane; closing the menu
  // brings the idle prompt back.
  wxMenuEvent highlight(wxEVT_MENU_HIGHLIGHT, WxId(cmd_print_preview));
  app.Frame()->ProcessWindowEvent(highlight);
  EXPECT_EQ(the_status_bar->GetStatusText(0), bar->FindItem(WxId(cmd_print_preview))->GetHelp());
  wxMenuEvent close(wxEVT_MENU_CLOSE, wxID_ANY, bar->GetMenu(0));
  app.Frame()->ProcessWindowEvent(close);
  EXPECT_EQ(the_status_bar->GetStatusText(0), "Vorbel is ready");
}

}  // namespace
