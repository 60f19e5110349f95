#include "ui/adapters/settings_wx.h"

#include <wx/filehistory.h>
#include <wx/fileconf.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/mstream.h>

#include <iostream>
#include <string_view>
#include <utility>

#include "platform/settings_file.h"

namespace {

const char* const recent_files_group = "/Recent File List";

// The settings the program keeps, besides the recent-file list: what a file grown
// too large holds on to. A new setting belongs here too.
const std::pair<const char*, const char*> program_settings[] = {
    {"", "ApplicationLook"},
    {"Configure", "Viewing Scale"},
    {"Configure", "canvas_width"},
    {"Configure", "canvas_height"},
    {"Configure", "Last Open Directory"},
    {"Configure", "Last Open Extension"},
    {"Configure", "Last Save Directory"},
    {"Configure", "Last Save Extension"},
};

wxString KeyPath(const std::string& section, const std::string& key) {
  wxString path = "/";
  if (!section.empty()) path << wxString::FromUTF8(section) << "/";
  return path + wxString::FromUTF8(key);
}

// Plain words for the user who started the program from a terminal; the toolkit's
// own texts would name its calls.
void Say(const std::string& text) { std::cerr << "vorbel: " << text << std::endl; }

// wx reads the file as one text: a NUL byte ends it, and a single byte that is no
// UTF-8 has all of it read as Latin-1, so that the next write changes every other
// line that is not plain ASCII. Junk is kept to its own lines: a run of NULs reads
// as a line break, and a line that is no UTF-8 as Latin-1.
std::string ReadableText(const std::string& bytes) {
  std::string lines;
  lines.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\0') {
      lines += bytes[i];
    } else if (i == 0 || bytes[i - 1] != '\0') {
      lines += '\n';
    }
  }
  std::string text;
  text.reserve(lines.size());
  size_t start = 0;
  while (start < lines.size()) {
    size_t end = lines.find('\n', start);
    if (end == std::string::npos) end = lines.size() - 1;
    const std::string_view line(lines.data() + start, end + 1 - start);
    if (wxConvUTF8.ToWChar(nullptr, 0, line.data(), line.size()) != wxCONV_FAILED) {
      text += line;
    } else {
      for (const unsigned char c : line) {
        if (c < 0x80) {
          text += char(c);
        } else {
          text += char(0xC0 | c >> 6);
          text += char(0x80 | (c & 0x3F));
        }
      }
    }
    start = end + 1;
  }
  return text;
}

bool SaveText(wxFileConfig& config, std::string& text) {
  wxMemoryOutputStream out;
  bool saved;
  {
    wxLogNull quiet;
    saved = config.Save(out, wxConvUTF8);
  }
  text.assign(out.GetLength(), '\0');
  out.CopyTo(text.data(), text.size());
  return saved;
}

// A configuration of the program's own settings from config, without anything else
// the file held.
std::unique_ptr<wxFileConfig> ProgramSettingsOnly(wxFileConfig& config) {
  wxMemoryInputStream nothing("", 0);
  auto own = std::make_unique<wxFileConfig>(nothing);
  // Values are copied as they stand, not with their variables expanded.
  const bool expanding = config.IsExpandingEnvVars();
  config.SetExpandEnvVars(false);
  wxString value;
  for (const auto& [section, key] : program_settings)
    if (config.Read(KeyPath(section, key), &value)) own->Write(KeyPath(section, key), value);
  for (size_t i = 1; i <= recent_file_places; ++i) {
    const wxString entry = wxString::Format("%s/file%zu", recent_files_group, i);
    if (config.Read(entry, &value)) own->Write(entry, value);
  }
  config.SetExpandEnvVars(expanding);
  return own;
}

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
  text = ReadableText(text);
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
  std::string text;
  bool saved = SaveText(*config, text);
  // A file the next start would refuse would lose every setting: what the program
  // does not use goes first.
  if (saved && text.size() > max_settings_file_bytes) {
    std::unique_ptr<wxFileConfig> own = ProgramSettingsOnly(*config);
    saved = SaveText(*own, text) && text.size() <= max_settings_file_bytes;
    if (saved) {
      config = std::move(own);
      Say("the settings file " + path + " would grow past 1 MB: what this program does not use is left out "
          "of it.");
    }
  }
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
