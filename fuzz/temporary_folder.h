#pragma once
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

// A folder of the fuzzer's own for the files it writes, removed when the run ends
// (a crashing run leaves it, beside its crash file).
class temporary_folder {
 public:
  explicit temporary_folder(const std::string& prefix) {
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (!mkdtemp(pattern.data())) std::abort();
    path = pattern;
  }
  ~temporary_folder() {
    std::error_code error;
    std::filesystem::remove_all(path, error);
  }
  temporary_folder(const temporary_folder&) = delete;
  temporary_folder& operator=(const temporary_folder&) = delete;

  std::filesystem::path path;
};
