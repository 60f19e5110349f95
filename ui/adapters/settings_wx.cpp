#include "ui/adapters/settings_wx.h"

#include <wx/filehistory.h>
#include <wx/fileconf.h>
#include <wx/filename.h>
#include <wx/log.h>

#include <climits>

namespace {

const char* const vendor_name = "Corvane Tessaworks";
const char* const application_name = "vorbel";
const char* const recent_files_group = "/Recent File List";

wxString KeyPath(const std::string& section, const std::string& key) {
  wxString path = "/";
  if (!section.empty()) path << wxString::FromUTF8(section) << "/";
  return path + wxString::FromUTF8(key);
}

}  // namespace

wx_settings_store::wx_settings_store() {
  const wxString file = wxString::FromUTF8(UserSettingsFile());
  // The file cannot be written into a folder that does not exist yet.
  wxFileName::Mkdir(wxFileName(file).GetPath(), wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
  Open(file);
}

wx_settings_store::wx_settings_store(const std::string& file_path) {
  Open(wxString::FromUTF8(file_path));
}

void wx_settings_store::Open(const wxString& file_path) {
  // A hand-edited file may hold lines that wx cannot parse: it skips them, and
  // what can be read is read and clamped by the callers. Its complaints would
  // reach the user as raw parser messages, so they are not let out; an empty name
  // ("=5") would even assert.
  const wxAssertHandler_t assert_handler = wxSetAssertHandler(nullptr);
  {
    wxLogNull quiet;
    config = std::make_unique<wxFileConfig>(application_name, vendor_name, file_path,
                                            wxEmptyString, wxCONFIG_USE_LOCAL_FILE);
  }
  wxSetAssertHandler(assert_handler);
}

wx_settings_store::~wx_settings_store() { config->Flush(); }

int wx_settings_store::GetInt(const std::string& section, const std::string& key, int fallback) {
  wxString text;
  if (!config->Read(KeyPath(section, key), &text)) return fallback;
  long long value = 0;
  if (!text.Trim().Trim(false).ToLongLong(&value)) {
    // Beyond 64 bits still says which end was meant.
    double wide = 0.0;
    if (!text.ToCDouble(&wide)) return fallback;
    return wide < 0 ? INT_MIN : INT_MAX;
  }
  if (value < INT_MIN) return INT_MIN;
  if (value > INT_MAX) return INT_MAX;
  return int(value);
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
  config->Flush();
}

void wx_settings_store::WriteString(const std::string& section, const std::string& key,
                                    const std::string& value) {
  config->Write(KeyPath(section, key), wxString::FromUTF8(value));
  config->Flush();
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
  config->Flush();
}
