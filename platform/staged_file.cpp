#include "platform/staged_file.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string_view>

namespace fs = std::filesystem;

namespace {

// Digits at the front of text without a leading zero ("0" itself allowed), taken off
// text into value.
bool TakeNumber(std::string_view& text, long long& value) {
  size_t digits = 0;
  while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
  if (digits == 0 || digits > 10 || (digits > 1 && text[0] == '0')) return false;
  std::from_chars(text.data(), text.data() + digits, value);
  text.remove_prefix(digits);
  return true;
}

// The process that wrote name, when name is one of our staged files for a
// destination named stem (".NAME.PID-N.part"); 0 otherwise.
long long StagedFileWriter(std::string_view name, const std::string& stem) {
  if (name.substr(0, stem.size()) != stem) return 0;
  name.remove_prefix(stem.size());
  long long pid = 0, attempt = 0;
  if (!TakeNumber(name, pid) || pid < 1 || pid > INT32_MAX) return 0;
  if (name.empty() || name[0] != '-') return 0;
  name.remove_prefix(1);
  if (!TakeNumber(name, attempt) || attempt > 99 || name != ".part") return 0;
  return pid;
}

bool ProcessLives(long long pid) { return ::kill(pid_t(pid), 0) == 0 || errno != ESRCH; }

// A save killed before its rename leaves its staged file behind; the next save to
// the same name clears what such saves left. A file whose writer still runs may be a
// save in progress, here or in another program, and stays.
void RemoveLeftovers(const fs::path& folder, const std::string& stem) {
  std::error_code error;
  fs::directory_iterator entries(folder.empty() ? fs::path(".") : folder, error);
  for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
    const std::string name = entries->path().filename().string();
    const long long pid = StagedFileWriter(name, stem);
    if (pid == 0 || ProcessLives(pid)) continue;
    std::error_code kind_error;
    if (entries->symlink_status(kind_error).type() == fs::file_type::regular)
      fs::remove(entries->path(), kind_error);
  }
}

bool SyncPath(const char* path, int flags) {
  const int fd = ::open(path, flags | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  return ::close(fd) == 0 && synced;
}

}  // namespace

staged_file::staged_file(const std::string& destination) {
  std::error_code error;
  fs::path target(destination);
  // Through a link, the file it names is the one replaced or, when it is not there
  // yet, made; the link stays. A loop of links is left to fail like any bad path.
  for (int hops = 0; hops < 40 && fs::is_symlink(target, error); ++hops) {
    const fs::path next = fs::read_symlink(target, error);
    if (error) break;
    target = next.is_absolute() ? next : target.parent_path() / next;
  }
  const fs::file_status status = fs::status(target, error);
  if (fs::exists(status) && !fs::is_regular_file(status)) {
    final_path = write_path = target.string();
    return;
  }
  final_path = target.string();

  const fs::path folder = target.parent_path();
  std::string stem = ".";
  stem += target.filename().string();
  stem += ".";
  RemoveLeftovers(folder, stem);
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path candidate = folder / (stem + std::to_string(getpid()) + "-" +
                                   std::to_string(attempt) + ".part");
    // Made here with O_EXCL so that no other file is ever overwritten; the mode
    // follows the umask like any new file.
    const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      ::close(fd);
      write_path = candidate.string();
      staged = true;
      if (fs::is_regular_file(status))
        fs::permissions(candidate, status.permissions(), fs::perm_options::replace, error);
      return;
    }
    if (errno != EEXIST) return;
  }
}

staged_file::~staged_file() {
  if (staged) std::remove(write_path.c_str());
}

bool staged_file::Commit() {
  if (!staged) return Ready();
  // The data reaches the disk before the name does, so that a power cut leaves the
  // old file or the new one under the name, never an empty one.
  if (!SyncPath(write_path.c_str(), O_RDONLY)) return false;
  if (std::rename(write_path.c_str(), final_path.c_str()) != 0) return false;
  staged = false;
  const fs::path folder = fs::path(final_path).parent_path();
  // The rename itself lasts once the folder is on the disk; the file is saved either way.
  SyncPath(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
  return true;
}
