#include "platform/settings.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <utility>

namespace {

class memory_store final : public settings_store {
 public:
  int GetInt(const std::string& section, const std::string& key, int fallback) override {
    auto it = ints.find({section, key});
    return it == ints.end() ? fallback : it->second;
  }
  std::string GetString(const std::string& section, const std::string& key,
                        const std::string& fallback) override {
    auto it = strings.find({section, key});
    return it == strings.end() ? fallback : it->second;
  }
  void WriteInt(const std::string& section, const std::string& key, int value) override {
    ints[{section, key}] = value;
  }
  void WriteString(const std::string& section, const std::string& key,
                   const std::string& value) override {
    strings[{section, key}] = value;
  }

 private:
  std::map<std::pair<std::string, std::string>, int> ints;
  std::map<std::pair<std::string, std::string>, std::string> strings;
};

memory_store default_store;
settings_store* installed_store = &default_store;

}  // namespace

int settings_store::GetClampedInt(const std::string& section, const std::string& key,
                                  int fallback, int low, int high) {
  return std::clamp(GetInt(section, key, fallback), low, high);
}

std::string UserSettingsFile() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  std::string folder;
  if (xdg && xdg[0] == '/') {
    folder = xdg;
  } else {
    const char* home = std::getenv("HOME");
    folder = std::string(home ? home : "") + "/.config";
  }
  return folder + "/vorbel/vorbel.conf";
}

settings_store& the_settings() { return *installed_store; }

void SetSettingsStore(settings_store* store) { installed_store = store ? store : &default_store; }
