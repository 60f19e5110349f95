#include "sources/image_folder.h"

#include <algorithm>
#include <filesystem>

#include "sources/file_naming.h"

namespace {

std::string UpperCased(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return text;
}

}  // namespace

std::optional<std::vector<std::string>> ListImageFiles(const std::string& folder) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::directory_iterator it(folder.empty() ? "." : folder, error);
  if (error) return std::nullopt;

  std::vector<std::pair<std::string, std::string>> found;  // upper-cased, as it is
  for (; it != fs::directory_iterator(); it.increment(error)) {
    if (error) return std::nullopt;
    std::error_code kind_error;
    if (!it->is_regular_file(kind_error)) continue;
    std::string name = it->path().filename().string();
    if (IsImageFileName(name)) found.emplace_back(UpperCased(name), std::move(name));
  }
  if (error) return std::nullopt;
  std::sort(found.begin(), found.end());

  std::vector<std::string> names;
  names.reserve(found.size());
  for (auto& entry : found) names.push_back(std::move(entry.second));
  return names;
}
