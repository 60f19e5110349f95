#pragma once
#include <string>

// Writing a file so that a failed write never harms what stood at its name: the
// writer writes to WritePath(), a fresh file beside the destination, and Commit()
// renames it over the destination once the data is on the disk. Without a commit
// the fresh file is removed; fresh files that killed saves left for the same
// destination are removed when the next one is made.
// A destination that exists and is not a regular file (a device) is written
// directly, since renaming over it would replace the device itself.
class staged_file {
 public:
  explicit staged_file(const std::string& destination);
  ~staged_file();
  staged_file(const staged_file&) = delete;
  staged_file& operator=(const staged_file&) = delete;

  // False when no file could be made beside the destination.
  bool Ready() const { return !write_path.empty(); }
  const std::string& WritePath() const { return write_path; }
  bool Commit();

 private:
  std::string final_path;
  std::string write_path;
  bool staged = false;
};
