#include "ui/app/app.h"

#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/modalhook.h>
#include <wx/utils.h>

#include <algorithm>

#include "engine/base/process_state.h"
#include "engine/base/view_core.h"
#include "platform/settings.h"
#include "sources/document.h"
#include "ui/adapters/clipboard_wx.h"
#include "ui/adapters/open_file_dialog.h"
#include "ui/adapters/settings_wx.h"
#include "ui/app/about_dialog.h"
#include "ui/app/main_frame.h"
#include "ui/app/ui_port_wx.h"
#include "ui/commands/command_rules.h"
#include "ui/view/view.h"

CvorbelApp* the_app = nullptr;

namespace {

const char* const configure = "Configure";
const char* const problem_opening = "Problem opening this file ?";
constexpr int max_command_line_files = 2;
constexpr int min_viewing_scale = 55;
constexpr int max_viewing_scale = 205;

}  // namespace

// Counts the modal dialogs and message boxes that run now: wx keeps sending idle
// events inside their loops.
class modal_dialog_counter : public wxModalDialogHook {
 public:
  int open = 0;

 protected:
  int Enter(wxDialog*) override {
    ++open;
    return wxID_NONE;
  }
  void Exit(wxDialog*) override { --open; }
};

CvorbelApp::CvorbelApp() : modal_dialogs(std::make_unique<modal_dialog_counter>()) {
  the_app = this;
  the_app_services = this;
  SetAppName("vorbel");
  SetVendorName("Corvane Tessaworks");
  // Bound first, so that it is asked last.
  Bind(wxEVT_UPDATE_UI, &LightHeldCommand);
  Bind(wxEVT_IDLE, &CvorbelApp::OnIdle, this);
  Bind(wxEVT_MENU, &CvorbelApp::OnFileOpen, this, WxId(cmd_file_open));
  Bind(wxEVT_MENU, &CvorbelApp::OnFileNew, this, WxId(cmd_file_new));
  Bind(wxEVT_MENU, &CvorbelApp::OnOpenRecentFile, this, WxId(cmd_recent_file_1),
       WxId(cmd_recent_file_16));
  Bind(wxEVT_MENU, &CvorbelApp::OnAppAbout, this, WxId(cmd_about));
  Bind(wxEVT_MENU, &CvorbelApp::OnFaq, this, cmd_faq);
  Bind(wxEVT_MENU, &CvorbelApp::OnExitCommand, this, WxId(cmd_exit));
  Bind(wxEVT_MENU, [this](wxCommandEvent&) { document->OnFileSaveAs(); },
       WxId(cmd_file_save_as));
  Bind(wxEVT_UPDATE_UI, &UpdateFileOpen, WxId(cmd_file_open));
  Bind(wxEVT_UPDATE_UI, &UpdateFileOpen, WxId(cmd_open_text));
  Bind(wxEVT_MENU, &CvorbelApp::OnBatchVorbel, this, WxId(cmd_batch));
  Bind(wxEVT_UPDATE_UI, &UpdateBatchVorbel, WxId(cmd_batch));
  Bind(wxEVT_UPDATE_UI, &CvorbelApp::OnUpdateRecentFile, this, WxId(cmd_recent_file_1));
}

int CvorbelApp::FilterEvent(wxEvent& event) { return FilterHeldCommand(event); }

CvorbelApp::~CvorbelApp() {
  if (the_app == this) the_app = nullptr;
  if (the_app_services == this) the_app_services = nullptr;
}

bool CvorbelApp::OnInit() {
  command_line_files.clear();
  for (int i = 1; i < argc; ++i) command_line_files.push_back(argv[i].utf8_string());
  return InitInstance();
}

int CvorbelApp::OnExit() {
  // A copied target stays on the clipboard after the program ends where a clipboard
  // manager takes it over.
  FlushClipboard();
  ExitInstance();
  return wxApp::OnExit();
}

bool CvorbelApp::InitInstance() {
  settings = settings_file.empty() ? std::make_unique<wx_settings_store>()
                                   : std::make_unique<wx_settings_store>(settings_file);
  SetSettingsStore(settings.get());
  port = MakeUiPort();
  SetUiPort(port.get());
  modal_dialogs->Register();
  settings->LoadFileHistory(recent_files);
  viewing_scale = settings->GetClampedInt(configure, "Viewing Scale", 100, min_viewing_scale,
                                          max_viewing_scale);
  batch_running = false;

  // The imaging layer comes first, so that files named on the command line can
  // open as sources.
  source_count = 0;
  const bool imaging = StartImaging();
  wic_ready = imaging;

  document = std::make_unique<CvorbelDoc>();
  frame = new CMainFrame(document.get());
  SetTopWindow(frame);
  frame->ShowRecentFiles(recent_files);
  InitialUpdate();
  frame->Show();
  frame->Update();

  if (!imaging)
    the_ui().MessageBox("Failed to create WICImaging Factory.", message_icon::error);

  const size_t files = std::min<size_t>(command_line_files.size(), max_command_line_files);
  for (size_t i = 0; i < files; ++i) {
    // The recent-file list must name the file wherever the next run starts.
    wxFileName name(wxString::FromUTF8(command_line_files[i]));
    name.MakeAbsolute();
    OpenDocumentFile(name.GetFullPath().utf8_string());
  }
  return true;
}

int CvorbelApp::ExitInstance() {
  if (settings) {
    settings->WriteInt(configure, "Viewing Scale", viewing_scale);
    settings->SaveFileHistory(recent_files);
  }
  if (frame) {
    // Tests end the program without a main loop that would destroy the frame.
    delete frame;
    frame = nullptr;
  }
  document.reset();
  modal_dialogs->Unregister();
  SetUiPort(nullptr);
  port.reset();
  SetSettingsStore(nullptr);
  settings.reset();
  return 0;
}

void CvorbelApp::FrameDestroyed(CMainFrame* gone) {
  if (frame == gone) frame = nullptr;
}

bool CvorbelApp::StartImaging() { return true; }

std::unique_ptr<ui_port> CvorbelApp::MakeUiPort() { return std::make_unique<wx_ui_port>(); }

bool CvorbelApp::ModalDialogRunning() const { return modal_dialogs->open > 0; }

void CvorbelApp::OnIdle(wxIdleEvent& event) {
  event.Skip();
  RebuildAfterFastPreview();
}

bool CvorbelApp::RebuildAfterFastPreview() {
  if (ModalDialogRunning() || source_count != 2 || !the_view || !the_view->fast_preview)
    return false;
  the_view->fast_preview = 0;
  the_view->RebuildSources(-1);
  return true;
}

void CvorbelApp::InitialUpdate() {
  if (frame) frame->InitialUpdate();
}

bool CvorbelApp::RunOpenFileDialog(open_file_request& request) {
  const std::unique_ptr<wxFileDialog> dialog = MakeOpenFileDialog(GetTopWindow(), request);
  if (dialog->ShowModal() != wxID_OK) return false;
  request.path = dialog->GetPath().utf8_string();
  request.name = dialog->GetFilename().utf8_string();
  request.filter_index = dialog->GetFilterIndex() + 1;
  return true;
}

std::string CvorbelApp::AskImageFileName() {
  settings_store& store = the_settings();
  open_file_request request;
  request.filter = open_image_filter;
  request.initial_folder = store.GetString(configure, "Last Open Directory", "");
  request.filter_index =
      store.GetClampedInt(configure, "Last Open Extension", 0, 0, open_image_filter_count);
  if (!RunOpenFileDialog(request)) return {};
  const size_t folder_length =
      request.path.size() - std::min(request.path.size(), request.name.size());
  store.WriteInt(configure, "Last Open Extension", request.filter_index);
  store.WriteString(configure, "Last Open Directory", request.path.substr(0, folder_length));
  return request.path;
}

void CvorbelApp::OnFileOpen(wxCommandEvent&) {
  const std::string path = AskImageFileName();
  if (!path.empty()) OpenDocumentFile(path);
}

void CvorbelApp::OnFileNew(wxCommandEvent&) { InitialUpdate(); }

bool CvorbelApp::OpenThroughDocument(const std::string& path) {
  if (!document || !document->OnOpenDocument(path)) return false;
  recent_files.AddFileToHistory(wxString::FromUTF8(path));
  SaveRecentFiles();
  InitialUpdate();
  return true;
}

bool CvorbelApp::OpenDocumentFile(const std::string& path) {
  if (!OpenThroughDocument(path)) return false;
  the_ui().SetDocumentTitle("");
  return true;
}

void CvorbelApp::OnOpenRecentFile(wxCommandEvent& event) {
  const size_t index = size_t(event.GetId() - WxId(cmd_recent_file_1));
  if (index >= recent_files.GetCount()) return;
  const std::string path = recent_files.GetHistoryFile(index).utf8_string();
  const std::string problem = std::string(problem_opening) + "\n" + path;
  auto forget = [&] {
    // Entries 2 to 16 that cannot be opened leave the list.
    if (index == 0) return;
    recent_files.RemoveFileFromHistory(index);
    SaveRecentFiles();
  };
  // A recent file that is gone is told in one message: the document's own report of
  // a file it cannot open would only come before it in other words.
  if (!FileReadable(path)) {
    the_ui().MessageBox(problem, message_icon::error);
    forget();
    return;
  }
  if (index > 0) {
    if (!OpenDocumentFile(path)) forget();
    return;
  }
  if (source_count == 2) {
    if (document->OnOpenDocument(path)) {
      if (the_view) {
        if (document->replaced_source != -1)
          the_view->UpdateSourceGeometry(document->replaced_source);
        the_view->RebuildSources(-1);
      }
    } else {
      the_ui().MessageBox(problem, message_icon::error);
    }
    return;
  }
  if (!OpenThroughDocument(path)) the_ui().MessageBox(problem, message_icon::error);
}

void CvorbelApp::OpenDroppedFiles(const std::vector<std::string>& paths) {
  if (batch_running) return;
  for (const std::string& path : paths) OpenDocumentFile(path);
}

void CvorbelApp::SaveRecentFiles() {
  if (settings) settings->SaveFileHistory(recent_files);
  if (frame) frame->ShowRecentFiles(recent_files);
}

void CvorbelApp::OnAppAbout(wxCommandEvent&) {
  CAboutDlg about(GetTopWindow());
  about.ShowModal();
}

void CvorbelApp::OnFaq(wxCommandEvent&) { OpenHelpPage(faq_page_path); }

void CvorbelApp::OpenHelpPage(const char* path) {
  const std::string url = std::string(site_address) + path;
  if (!LaunchBrowser(url))
    the_ui().MessageBox("No web browser could be started to show this page:\n" + url,
                        message_icon::error);
}

bool CvorbelApp::LaunchBrowser(const std::string& url) {
  // wx's own complaint speaks of error numbers; OpenHelpPage says it plainly.
  wxLogNull quiet;
  return wxLaunchDefaultBrowser(wxString::FromUTF8(url));
}

void CvorbelApp::OnExitCommand(wxCommandEvent&) {
  if (frame) frame->Close();
}

wxFrame* CvorbelApp::MainFrame() const { return frame; }

void CvorbelApp::OnUpdateRecentFile(wxUpdateUIEvent& event) {
  event.Enable(recent_files.GetCount() > 0);
}
