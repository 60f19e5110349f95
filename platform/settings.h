#pragma once
#include <string>

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

// Where the user's settings file lives: $XDG_CONFIG_HOME/vorbel/vorbel.conf, or
// ~/.config/vorbel/vorbel.conf when that variable is unset, empty or not absolute.
std::string UserSettingsFile();

settings_store& the_settings();
// Installs store (not owned) as the_settings; nullptr restores the store in memory.
void SetSettingsStore(settings_store* store);
