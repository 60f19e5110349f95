#include "ui/adapters/settings_wx.h"

#include <wx/filehistory.h>
#include <wx/fileconf.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/mstream.h>

#include <iostream>
#include <utility>

#include "platform/settings_file.h"

namespace {

const char* const recent_files_group = "/Recent File List";

wxString KeyPath(const std::string& section, const std::string& key) {
  wxString path = "/";
  if (!section.empty()) path << wxString::FromUTF8(section) << "/";
  return path + wxString::FromUTF8(key);
}

// Plain words for the user who started the program from a terminal; the toolkit's
// own texts would name its calls.
void Say(const std::string& text) { std::cerr << "vorbel: " << text << std::endl; }

}  // namespace

wx_settings_store::wx_settings_store() {
  const std::string file = UserSettingsFile();
  // The file cannot be written into a folder that does not exist yet.
  {
    wxLogNull quiet;
    wxFileName::Mkdir(wxFileName(wxString::FromUTF8(file)).GetPath(), wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
  }
  Open(file);
}

wx_settings_store::wx_settings_store(const std::string& file_path) { Open(file_path); }

void wx_settings_store::Open(const std::string& file_path) {
  path = file_path;
  std::string text;
  switch (ReadSettingsFile(path, text)) {
    case settings_file_state::absent:
    case settings_file_state::read:
      writable = true;
      break;
    case settings_file_state::too_large:
      Say("the settings file " + path + " is larger than 1 MB: it is not read and not written, and "
          "the settings start from their defaults.");
      break;
    case settings_file_state::not_a_file:
      Say("the settings cannot be stored: " + path + " is not a file.");
      break;
    case settings_file_state::unreadable:
      Say("the settings cannot be read or stored: " + path + " cannot be read.");
      break;
  }
  stored_text = text;
  // A hand-edited file may hold lines that wx cannot parse: it skips them, and
  // what can be read is read and clamped by the callers. Its complaints would
  // reach the user as raw parser messages, so they are not let out; an empty name
  // ("=5") would even assert.
  const wxAssertHandler_t assert_handler = wxSetAssertHandler(nullptr);
  {
    wxLogNull quiet;
    wxMemoryInputStream in(text.data(), text.size());
    config = std::make_unique<wxFileConfig>(in);
  }
  wxSetAssertHandler(assert_handler);
}

wx_settings_store::~wx_settings_store() = default;

void wx_settings_store::Store() {
  if (!writable) return;
  wxMemoryOutputStream out;
  bool saved;
  {
    wxLogNull quiet;
    saved = config->Save(out, wxConvUTF8);
  }
  std::string text(out.GetLength(), '\0');
  out.CopyTo(text.data(), text.size());
  // A write of the value already there leaves the disk alone.
  if (saved && text == stored_text) return;
  if (saved && WriteSettingsFile(path, text)) {
    stored_text = std::move(text);
    return;
  }
  // Said once: every later write would fail the same way.
  writable = false;
  Say("the settings cannot be stored in " + path + ".");
}

int wx_settings_store::GetInt(const std::string& section, const std::string& key, int fallback) {
  wxString text;
  if (!config->Read(KeyPath(section, key), &text)) return fallback;
  return ParseStoredInt(text.utf8_string(), fallback);
}

std::string wx_settings_store::GetString(const std::string& section, const std::string& key,
                                         const std::string& fallback) {
  wxString text;
  if (!config->Read(KeyPath(section, key), &text)) return fallback;
  return text.utf8_string();
}

void wx_settings_store::WriteInt(const std::string& section, const std::string& key,
                                 int value) {
  config->Write(KeyPath(section, key), long(value));
  Store();
}

void wx_settings_store::WriteString(const std::string& section, const std::string& key,
                                    const std::string& value) {
  config->Write(KeyPath(section, key), wxString::FromUTF8(value));
  Store();
}

void wx_settings_store::LoadFileHistory(wxFileHistory& history) {
  const wxString old_path = config->GetPath();
  config->SetPath(recent_files_group);
  history.Load(*config);
  config->SetPath(old_path);
}

void wx_settings_store::SaveFileHistory(wxFileHistory& history) {
  // Only the entries the list holds: wx would also write an empty key for every
  // free place.
  config->DeleteGroup(recent_files_group);
  for (size_t i = 0; i < history.GetCount(); ++i)
    config->Write(wxString::Format("%s/file%zu", recent_files_group, i + 1),
                  history.GetHistoryFile(i));
  Store();
}
