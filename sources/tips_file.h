#pragma once
#include <filesystem>
#include <istream>
#include <string>
#include <vector>

// The start-up tips as read from their text file: one tip a record, a backslash
// separating the display lines of a tip.
struct tip_lines {
  static constexpr int max_records = 100;
  static constexpr int record_columns = 256;

  // Each record holds the bytes up to its first zero column, at most 256 of them.
  std::vector<std::string> records;

  int Count() const { return int(records.size()); }
  // The record shown at a scroll step: 64 steps a tip, empty when there are none.
  const std::string& ShownAt(int step) const;
};

// Reads records of 256 columns: a record ends at a line feed (not stored), at the
// end of the file or when its columns are full, so that a longer line goes on in
// the next record. A carriage return is not stored but uses up its column, which
// stays zero and so ends what the record shows. The record in which the file ends
// counts even when empty. At most 100 records are read.
tip_lines ReadTipLines(std::istream& in);

// The first of the folders that holds a readable file of the name, read; false
// when none does.
bool ReadTipsFileIn(const std::vector<std::filesystem::path>& folders, const std::string& name,
                    tip_lines& tips);

// The step after step: one pixel of scrolling, back to the first tip after the last.
int NextTipStep(int step, int tip_count);

// The text as UTF-8 to show: valid UTF-8 stays, any other byte is taken as Latin-1.
std::string DisplayableText(const std::string& bytes);
