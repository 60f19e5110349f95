#pragma once
#include <wx/app.h>
#include <wx/filehistory.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/adapters/display_scales.h"
#include "ui/adapters/open_file_dialog.h"
#include "ui/adapters/settings_wx.h"
#include "ui/commands/app_services.h"
#include "ui/commands/command_ids.h"
#include "ui/commands/command_rules.h"

class CvorbelDoc;
class CMainFrame;
class ui_port;
class modal_dialog_counter;
struct batch_choices;

// The application: the one document, the main frame, the settings, the recent-file
// list, the idle rebuild after a fast preview, and the commands that belong to no
// window.
class CvorbelApp : public wxApp, public app_services {
 public:
  CvorbelApp();
  ~CvorbelApp() override;

  bool OnInit() override;
  int OnExit() override;
  // Every event passes here first: the batch's lock of commands.
  int FilterEvent(wxEvent& event) override;

  // Start-up: settings, frame, view, imaging layer, then the files of
  // command_line_files (at most two, as sources 1 and 2). False when no frame.
  bool InitInstance();
  // Stores what lasts and tears down the frame and the document.
  int ExitInstance();

  void OnIdle(wxIdleEvent& event);
  // The full-quality rebuild after a fast preview; true when it ran.
  bool RebuildAfterFastPreview();

  std::string AskImageFileName() override;
  void OnFileOpen(wxCommandEvent& event);
  void OnFileNew(wxCommandEvent& event);
  // Opens path as a source and runs the view's initial update; false on failure.
  bool OpenDocumentFile(const std::string& path);
  void OnOpenRecentFile(wxCommandEvent& event);
  // Files dropped on the frame, each opened like File > Open.
  void OpenDroppedFiles(const std::vector<std::string>& paths);
  void OnAppAbout(wxCommandEvent& event);
  void OnFaq(wxCommandEvent& event);
  void OnExitCommand(wxCommandEvent& event);
  void OnUpdateRecentFile(wxUpdateUIEvent& event);
  void OnBatchVorbel(wxCommandEvent& event) override;
  bool BatchActive() const override { return batch_running; }
  // The enabling rules of the command table, under the application's names.
  static void OnUpdateFileOpen(wxUpdateUIEvent& event) { UpdateFileOpen(event); }
  static void OnUpdateBatchVorbel(wxUpdateUIEvent& event) { UpdateBatchVorbel(event); }

  void OpenHelpPage(const char* path) override;

  // True while a modal dialog or message box runs.
  bool ModalDialogRunning() const;

  // The frame tells when it goes, whoever destroys it.
  void FrameDestroyed(CMainFrame* gone);

  CvorbelDoc* Document() const { return document.get(); }
  CMainFrame* Frame() const { return frame; }
  wxFrame* MainFrame() const override;
  wxFileHistory& RecentFiles() { return recent_files; }

  int app_look = 215;
  int hi_color_icons = 1;
  bool batch_running = false;
  // The display scales under the application's names.
  static inline int& viewing_scale = display_scales::viewing;
  static inline float& dpi_scale_x = display_scales::dpi_x;
  static inline float& dpi_scale_y = display_scales::dpi_y;

  std::vector<std::string> command_line_files;
  // Empty: the user's settings file.
  std::string settings_file;

 protected:
  // The stand-ins for the platform, replaced by tests.
  virtual bool StartImaging();
  virtual bool RunOpenFileDialog(open_file_request& request);
  // False when no browser could be started.
  virtual bool LaunchBrowser(const std::string& url);
  virtual std::unique_ptr<ui_port> MakeUiPort();
  virtual bool RunBatchDialog(batch_choices& choices);

 private:
  // The document's open, its recent-file entry, the view's initial update.
  bool OpenThroughDocument(const std::string& path);
  void InitialUpdate();
  void SaveRecentFiles();

  std::unique_ptr<CvorbelDoc> document;
  CMainFrame* frame = nullptr;
  std::unique_ptr<wx_settings_store> settings;
  std::unique_ptr<ui_port> port;
  std::unique_ptr<modal_dialog_counter> modal_dialogs;
  wxFileHistory recent_files{recent_file_places, WxId(cmd_recent_file_1)};
};

// The application while it runs.
extern CvorbelApp* the_app;

inline constexpr const char* open_image_filter =
    "Bitmap Files (*.bmp)|*.bmp|Jpg/Jpeg Files (*.jpeg *.jpg)|*.jpeg;*jpg|Png Files "
    "(*.png)|*.png|Tif Files (*.tif)|*.tif|Tga Files (*.tga)|*.tga|Pcx Files (*.pcx)|*.pcx|All "
    "Files (*.*)|*.*";
inline constexpr int open_image_filter_count = 7;
