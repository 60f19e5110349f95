#include "platform/staged_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

staged_file::staged_file(const std::string& destination) {
  std::error_code error;
  fs::path target(destination);
  // Through a link, the file it names is the one replaced; the link stays.
  if (fs::is_symlink(target, error)) {
    fs::path resolved = fs::canonical(target, error);
    if (!error) target = resolved;
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
  if (std::rename(write_path.c_str(), final_path.c_str()) != 0) return false;
  staged = false;
  return true;
}
