#include "batch/my_filefind.h"

#include <algorithm>
#include <climits>
#include <filesystem>

#include "sources/file_naming.h"

namespace fs = std::filesystem;

namespace {

std::string FolderOf(const fs::path& path) {
  std::string folder = path.parent_path().string();
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

template <typename number>
int Order(number a, number b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

std::string CutAtLastDot(const std::string& name) {
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

}  // namespace

bool my_filefind::FindFile(const std::string& path) {
  found.clear();
  position = -1;
  const fs::path searched(path);
  root = FolderOf(searched);
  std::error_code error;
  if (searched.filename() != "*.*") {
    if (fs::exists(searched, error)) found.push_back(searched.filename().string());
    return !found.empty();
  }
  fs::directory_iterator it(root, error);
  for (; !error && it != fs::directory_iterator(); it.increment(error))
    found.push_back(it->path().filename().string());
  return !found.empty();
}

bool my_filefind::FindNextFile() {
  if (sorted) {
    ++index;
    if (index + 1 < count) return true;
    index = count - 1;
    return false;
  }
  if (position + 1 < long(found.size())) ++position;
  return position + 1 < long(found.size());
}

std::string my_filefind::GetFileName() const {
  if (sorted) return index >= 0 && index < count ? entries[size_t(index)].name : std::string();
  return position >= 0 && position < long(found.size()) ? found[size_t(position)] : std::string();
}

std::string my_filefind::LoadSorted() {
  if (sort_flags == -1 || sorted) return root;
  std::error_code error;
  fs::directory_iterator it(root, error);
  if (error) return root;
  std::vector<file_entry> listed;
  for (; it != fs::directory_iterator(); it.increment(error)) {
    if (error) return root;
    std::error_code entry_error;
    if (!it->is_regular_file(entry_error)) continue;
    file_entry entry{it->path().filename().string(), 0, 0};
    if (!IsImageFileName(entry.name)) continue;
    const auto written = it->last_write_time(entry_error);
    if (!entry_error) entry.last_write = int64_t(written.time_since_epoch().count());
    const uintmax_t length = it->file_size(entry_error);
    if (!entry_error) entry.length = uint64_t(length);
    listed.push_back(std::move(entry));
  }
  // The final name comparison makes ties (FAT's two-second times, equal lengths,
  // names equal but for case) come out the same on every run.
  const int word = sort_flags;
  std::sort(listed.begin(), listed.end(), [word](const file_entry& a, const file_entry& b) {
    const int order = CompareEntries(word, a, b);
    return order != 0 ? order < 0 : a.name < b.name;
  });
  entries = std::move(listed);
  count = int(entries.size());
  index = -1;
  sorted = true;
  return root;
}

int my_filefind::LeadingNumber(const std::string& name) {
  size_t i = 0;
  while (i < name.size() && (name[i] == ' ' || (name[i] >= '\t' && name[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < name.size() && (name[i] == '+' || name[i] == '-')) negative = name[i++] == '-';
  long long value = 0;
  for (; i < name.size() && name[i] >= '0' && name[i] <= '9'; ++i) {
    value = value * 10 + (name[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) break;
  }
  if (negative) value = -value;
  return int(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

int my_filefind::CompareEntries(int sort_flags, const file_entry& a, const file_entry& b) {
  int order = 0;
  if (sort_flags & sort_by_time) {
    order = Order(a.last_write, b.last_write);
  } else if (sort_flags & sort_by_length) {
    order = Order(a.length, b.length);
  } else if (sort_flags & sort_by_name) {
    const int number_a = LeadingNumber(a.name), number_b = LeadingNumber(b.name);
    if ((number_a != 0) != (number_b != 0)) {
      order = number_a != 0 ? -1 : 1;
    } else if (number_a != number_b) {
      order = Order(number_a, number_b);
    } else {
      std::string cut_a = CutAtLastDot(a.name), cut_b = CutAtLastDot(b.name);
      if (!(sort_flags & sort_case_sensitive)) cut_a = LowerCased(cut_a), cut_b = LowerCased(cut_b);
      order = Order(cut_a.compare(cut_b), 0);
    }
  } else {
    return 0;
  }
  return (sort_flags & sort_forwards) ? order : -order;
}
