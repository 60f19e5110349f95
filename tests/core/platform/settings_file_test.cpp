#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/settings.h"

namespace {

// Sets or clears an environment variable for the span of a test.
class scoped_env {
 public:
  scoped_env(const char* name, const char* value) : name(name) {
    if (const char* old = std::getenv(name)) saved = old, had = true;
    if (value)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  ~scoped_env() {
    if (had)
      setenv(name, saved.c_str(), 1);
    else
      unsetenv(name);
  }

 private:
  const char* name;
  std::string saved;
  bool had = false;
};

TEST(UserSettingsFile, LivesInTheXdgConfigFolderOrElseUnderHomeDotConfig) {
  scoped_env home("HOME", "/home/ada");
  {
    scoped_env xdg("XDG_CONFIG_HOME", "/var/conf");
    EXPECT_EQ(UserSettingsFile(), "/var/conf/vorbel/vorbel.conf");
  }
  // Unset, empty or relative: the variable does not count.
  for (const char* value : {static_cast<const char*>(nullptr), "", "conf"}) {
    scoped_env xdg("XDG_CONFIG_HOME", value);
    EXPECT_EQ(UserSettingsFile(), "/home/ada/.config/vorbel/vorbel.conf");
  }
}

}  // namespace
