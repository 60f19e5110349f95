#include "platform/settings_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>

#include "platform/staged_file.h"

namespace {

bool WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += size_t(n);
  }
  return true;
}

}  // namespace

settings_file_state ReadSettingsFile(const std::string& path, std::string& text) {
  text.clear();
  // Without blocking, so that a pipe at the name cannot hold the start.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return errno == ENOENT ? settings_file_state::absent : settings_file_state::unreadable;
  struct stat info;
  settings_file_state state = settings_file_state::read;
  if (::fstat(fd, &info) != 0) {
    state = settings_file_state::unreadable;
  } else if (!S_ISREG(info.st_mode)) {
    state = settings_file_state::not_a_file;
  } else if (uint64_t(info.st_size) > max_settings_file_bytes) {
    state = settings_file_state::too_large;
  } else {
    // The size is read, not trusted: the file may grow while it is read.
    char buffer[16384];
    for (;;) {
      const ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        state = settings_file_state::unreadable;
        break;
      }
      if (n == 0) break;
      if (text.size() + size_t(n) > max_settings_file_bytes) {
        state = settings_file_state::too_large;
        break;
      }
      text.append(buffer, size_t(n));
    }
  }
  ::close(fd);
  if (state != settings_file_state::read) text.clear();
  return state;
}

bool WriteSettingsFile(const std::string& path, const std::string& text) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) return false;
  staged_file file(path);
  if (!file.Ready()) return false;
  const int fd = ::open(file.WritePath().c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (fd < 0) return false;
  const bool written = WriteAll(fd, text);
  return ::close(fd) == 0 && written && file.Commit();
}
