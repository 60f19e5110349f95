#pragma once
#include <cstddef>
#include <memory>
#include <string>

#include "platform/settings.h"

class wxFileConfig;
class wxFileHistory;

// The places of the recent-file list.
inline constexpr size_t recent_file_places = 16;

// The stored settings in a configuration file: sections become groups, and an
// empty section stands for the top level. A number that is not a plain decimal one
// reads as the fallback, one beyond int as the nearest int; callers clamp to their
// own ranges. Junk in the file (NUL bytes, bytes that are no UTF-8) spoils only its
// own lines. Every write stores the whole file at once, and never more than is read
// back: a file that would grow past that keeps the program's own settings alone. A
// file that cannot serve (too large, no file, unreadable, unwritable) is said once on
// stderr; the settings then last only for the run and the file is left as it is.
class wx_settings_store final : public settings_store {
 public:
  // The user's file (UserSettingsFile).
  wx_settings_store();
  // A file of the caller's choosing.
  explicit wx_settings_store(const std::string& file_path);
  ~wx_settings_store() override;

  int GetInt(const std::string& section, const std::string& key, int fallback) override;
  std::string GetString(const std::string& section, const std::string& key,
                        const std::string& fallback) override;
  void WriteInt(const std::string& section, const std::string& key, int value) override;
  void WriteString(const std::string& section, const std::string& key,
                   const std::string& value) override;

  // The recent-file list lives in the same file.
  void LoadFileHistory(wxFileHistory& history);
  void SaveFileHistory(wxFileHistory& history);

 private:
  void Open(const std::string& file_path);
  void Store();

  std::string path;
  bool writable = false;
  // What the file holds as far as this store knows.
  std::string stored_text;
  std::unique_ptr<wxFileConfig> config;
};
