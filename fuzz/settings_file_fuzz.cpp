// Arbitrary bytes as the settings file: it must be read back as it stands, and every
// "name=value" line's value must read, through the store's clamping, as the plain
// decimal number it spells kept to the range, or as the fallback when it spells none.
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/settings.h"
#include "platform/settings_file.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// Holds one stored text and reads it as the file-backed store does.
class one_value_store final : public settings_store {
 public:
  std::string text;
  int GetInt(const std::string&, const std::string&, int fallback) override {
    return ParseStoredInt(text, fallback);
  }
  std::string GetString(const std::string&, const std::string&, const std::string& fallback) override {
    return fallback;
  }
  void WriteInt(const std::string&, const std::string&, int) override {}
  void WriteString(const std::string&, const std::string&, const std::string&) override {}
};

// The value text spells, worked out another way: strtoll on what is checked to be
// spaces, a sign and digits only.
bool PlainDecimal(const std::string& text, long long& value) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return false;
  const std::string core = text.substr(first, text.find_last_not_of(" \t") - first + 1);
  size_t at = core[0] == '+' || core[0] == '-' ? 1 : 0;
  if (at == core.size()) return false;
  for (; at < core.size(); ++at)
    if (core[at] < '0' || core[at] > '9') return false;
  errno = 0;
  value = std::strtoll(core.c_str(), nullptr, 10);
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/vorbel-settings-fuzz-" + std::to_string(getpid()) + ".conf";
  static const bool removed_at_exit = std::atexit([] { std::remove(path.c_str()); }) == 0;
  (void)removed_at_exit;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  std::string text;
  Check(ReadSettingsFile(path, text) == settings_file_state::read);
  Check(text == bytes);

  static constexpr int ranges[][2] = {{55, 205}, {32, 2048}, {32, 1536}, {210, 218}, {0, 7}, {INT_MIN, INT_MAX}};
  one_value_store store;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    start = end + 1;
    const size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    store.text = line.substr(equals + 1);
    long long spelled = 0;
    const bool plain = PlainDecimal(store.text, spelled);
    for (const auto& [low, high] : ranges) {
      const int fallback = int((int64_t(low) + high) / 2);
      const int read = store.GetClampedInt("Configure", "key", fallback, low, high);
      Check(read >= low && read <= high);
      if (!plain) Check(read == fallback);
      else Check(read == (spelled < low ? low : spelled > high ? high : int(spelled)));
    }
  }
  return 0;
}
