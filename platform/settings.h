#pragma once
#include <string>
#include <string_view>

// The program's stored settings: sections of named integers and strings that last
// between runs. The window layer installs a store on a configuration file; without
// one, a store in memory stands in (headless tools and tests).
class settings_store {
 public:
  virtual ~settings_store() = default;
  virtual int GetInt(const std::string& section, const std::string& key, int fallback) = 0;
  virtual std::string GetString(const std::string& section, const std::string& key,
                                const std::string& fallback) = 0;
  virtual void WriteInt(const std::string& section, const std::string& key, int value) = 0;
  virtual void WriteString(const std::string& section, const std::string& key,
                           const std::string& value) = 0;

  // A stored number outside [low, high] is taken as the nearest end: hand-edited
  // files must not carry a bad value into the program.
  int GetClampedInt(const std::string& section, const std::string& key, int fallback, int low,
                    int high);
};

// A stored number as the program reads one: an optional sign and decimal digits,
// spaces around them allowed; beyond int it is the nearest end. Anything else
// ("nan", "inf", "0x10", "1e3", "12px", nothing) is no number and gives fallback.
int ParseStoredInt(std::string_view text, int fallback);

// Where the user's settings file lives: $XDG_CONFIG_HOME/vorbel/vorbel.conf, or
// ~/.config/vorbel/vorbel.conf when that variable is unset, empty or not absolute.
std::string UserSettingsFile();

settings_store& the_settings();
// Installs store (not owned) as the_settings; nullptr restores the store in memory.
void SetSettingsStore(settings_store* store);
