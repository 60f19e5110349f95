#include "sources/file_naming.h"

#include <algorithm>
#include <array>

std::string LowerCased(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return text;
}

std::string SourceExtension(const std::string& path) {
  const std::string lower = LowerCased(path);
  if (lower.ends_with("jpeg")) return "jpg";
  return lower.substr(lower.size() - std::min<size_t>(lower.size(), 3));
}

bool IsImagingExtension(const std::string& extension) {
  return extension == "bmp" || extension == "jpg" || extension == "png" || extension == "tif";
}

bool IsImageFileName(const std::string& name) {
  static constexpr std::array<const char*, 7> endings = {".bmp", ".jpg", ".png",  ".tif",
                                                         ".tga", ".pcx", ".jpeg"};
  const std::string lower = LowerCased(name);
  return std::any_of(endings.begin(), endings.end(),
                     [&](const char* ending) { return lower.ends_with(ending); });
}

std::string SourceLabel(const std::string& path) {
  const size_t n = std::min<size_t>(path.size(), 100);
  for (size_t i = 0; i < n; ++i)
    if (n - i < 50 && path[i] == '/') return path.substr(i);
  return path;
}
