#pragma once
#include <cstddef>
#include <string>

// The settings file on the disk. It is read whole, so a file far larger than
// settings ever grow (junk, or another file under its name) is neither read nor
// written over.
inline constexpr size_t max_settings_file_bytes = 1 << 20;

enum class settings_file_state {
  absent,      // nothing stands at the name: a write makes the file
  read,        // the text is the file's
  too_large,   // over max_settings_file_bytes
  not_a_file,  // a folder or a device stands at the name
  unreadable,  // it is there but cannot be read
};

// Reads the file at path (through a link, the linked file) into text; text is empty
// unless the result is read.
settings_file_state ReadSettingsFile(const std::string& path, std::string& text);

// Replaces the file's text the way a save replaces an image: through a staged file
// renamed over it, and through a link the linked file. False when it cannot be
// written or something other than a file stands at the name; nothing is left behind.
bool WriteSettingsFile(const std::string& path, const std::string& text);
