#pragma once
#include <cstdint>
#include <string>
#include <vector>

// One image file of a listed folder.
struct file_entry {
  std::string name;  // without its folder, in its own case
  int64_t last_write = 0;
  uint64_t length = 0;
};

// Bits of the sort word.
enum sort_bits : int {
  sort_by_time = 1,
  sort_by_name = 2,
  sort_by_length = 4,
  sort_forwards = 8,
  sort_case_sensitive = 16,
};

// A folder finder that, once it stands on a file, can list that folder's image
// files and walk them in the order of a sort word. Without a sort (sort word -1)
// it walks the folder as the file system reports it, every name included.
//
// Use: FindFile(a file) and FindNextFile() to stand on it; set sort_flags;
// LoadSorted() gives the folder; FindFile(folder + "*.*"); then FindNextFile()
// and GetFileName() until FindNextFile() says that nothing follows.
class my_filefind {
 public:
  // Starts a plain search: a full path names one file, a folder followed by "*.*"
  // every entry of that folder. False when nothing matches.
  bool FindFile(const std::string& path);
  // Steps to the next entry; true while another one follows it.
  bool FindNextFile();
  // The current entry's name; empty when there is none.
  std::string GetFileName() const;
  // Lists and sorts the image files of the searched folder (regular files only,
  // links followed) unless sort_flags is -1. Gives the folder, ending in "/".
  std::string LoadSorted();

  // Negative when a goes before b under the sort word, positive when after.
  static int CompareEntries(int sort_flags, const file_entry& a, const file_entry& b);
  // The leading number of a name as atoi reads it, held at the int range.
  static int LeadingNumber(const std::string& name);

  int sort_flags = -1;
  int index = -1;
  bool sorted = false;
  std::vector<file_entry> entries;
  int count = -1;

 private:
  std::string root;                // folder of the plain search, ending in "/"
  std::vector<std::string> found;  // names of the plain search
  long position = -1;
};
