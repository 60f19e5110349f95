#include "platform/settings.h"

#include <algorithm>
#include <climits>
#include <cstdint>
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

int ParseStoredInt(std::string_view text, int fallback) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return fallback;
  // Past the int range the digits only say which end was meant.
  int64_t magnitude = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return fallback;
    magnitude = std::min<int64_t>(magnitude * 10 + (c - '0'), int64_t(INT_MAX) + 1);
  }
  if (negative) return int(std::max<int64_t>(-magnitude, INT_MIN));
  return int(std::min<int64_t>(magnitude, INT_MAX));
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
