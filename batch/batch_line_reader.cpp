#include "batch/batch_line_reader.h"

namespace {

bool IsContinuationByte(unsigned char byte) { return (byte & 0xC0) == 0x80; }

size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

// Drops a character whose bytes were cut off at the end of line.
void DropCutCharacter(std::string& line) {
  size_t start = line.size();
  while (start > 0 && line.size() - start < 3 && IsContinuationByte(line[start - 1])) --start;
  if (start == 0) return;
  const size_t lead = start - 1;
  if (lead + SequenceLength(static_cast<unsigned char>(line[lead])) > line.size()) line.resize(lead);
}

}  // namespace

bool batch_line_reader::ReadLine(std::string& text) {
  std::string line;
  bool any = false, cut = false;
  for (;;) {
    const int c = std::getc(file);
    if (c == EOF) {
      if (!any) return false;
      break;
    }
    if (c == '\n') break;
    if (c == '\r') {
      const int next = std::getc(file);
      if (next != '\n' && next != EOF) std::ungetc(next, file);
      break;
    }
    any = true;
    if (c == 0) continue;
    if (line.size() < max_line_bytes)
      line.push_back(char(c));
    else
      cut = true;
  }
  if (cut) DropCutCharacter(line);

  size_t shown = line.size();
  for (size_t i = 0; i + 1 < line.size(); ++i)
    if (line[i] == '\\' && line[i + 1] == 'n') {
      line[i] = '\r', line[i + 1] = '\n';
      shown -= 2;
      ++i;
    }
  if (shown < 1) line = "???";
  text = line + "\r\n";
  return true;
}
