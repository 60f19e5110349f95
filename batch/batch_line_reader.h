#pragma once
#include <cstddef>
#include <cstdio>
#include <string>

// Reads the lines of a text batch's file, one per pair. A line ends at LF, CR LF
// or CR; a last line without an ending still counts. Each line comes out ready to
// be a text source: "\n" escapes turned into CR LF, "???" for a line with nothing
// to show, and CR LF at its end. NUL bytes, which would cut the text short, are
// dropped; a line too long for the text buffer is cut on a UTF-8 boundary and the
// rest of it skipped.
class batch_line_reader {
 public:
  // The longest line kept, so that it fits the 8192-byte text with CR, LF and NUL.
  static constexpr size_t max_line_bytes = 8189;

  explicit batch_line_reader(std::FILE* file) : file(file) {}

  // The next line into text; false at the end of the file, text then untouched.
  bool ReadLine(std::string& text);

 private:
  std::FILE* file;
};
