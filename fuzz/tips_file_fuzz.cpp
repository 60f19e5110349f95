// Arbitrary bytes as the start-up tips file: read from disk and from memory alike,
// record by record as the plain reading rule below says, every record made showable
// text and laid out as a tip at some scroll phase.
#include <glib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz/temporary_folder.h"
#include "sources/tip_layout.h"
#include "sources/tips_file.h"

namespace {

// A broken rule names itself before the abort, so a finding reads at once.
#define Check(condition) \
  ((condition) ? void() : (std::fprintf(stderr, "broken: %s\n", #condition), std::abort()))

// The reading rule byte by byte: a record ends at a line feed, at the end of the
// bytes or after 256 columns; a carriage return or a zero byte leaves its column
// zero, which ends what the record shows.
std::vector<std::string> RecordsByRule(const uint8_t* data, size_t size) {
  std::vector<std::string> records;
  size_t at = 0;
  bool more = true;
  while (more && records.size() < 100) {
    std::string shown;
    bool ended = false;
    for (int column = 0; column < 256; ++column) {
      if (at == size) {
        more = false;
        break;
      }
      const char c = char(data[at++]);
      if (c == '\n') break;
      if (c == '\r' || c == '\0') ended = true;
      if (!ended) shown += c;
    }
    records.push_back(shown);
  }
  return records;
}

// A line is as wide as the sum of its bytes and 13 pixels high.
text_extent MeasureBySum(const std::string& line) {
  int width = 0;
  for (char c : line) width += uint8_t(c);
  return {width, 13};
}

const std::filesystem::path& Folder() {
  static const temporary_folder folder("tips-fuzz");
  return folder.path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string name = "startup_tips.txt";
  {
    std::ofstream file(Folder() / name, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), std::streamsize(size));
  }
  tip_lines from_file;
  Check(ReadTipsFileIn({Folder() / "missing", Folder()}, name, from_file));

  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  const tip_lines tips = ReadTipLines(in);
  Check(tips.records == from_file.records);
  Check(tips.records == RecordsByRule(data, size));
  Check(tips.Count() >= 1 && tips.Count() <= tip_lines::max_records);

  const int phase = size ? data[0] % 64 : 0;
  for (int i = 0; i < tips.Count(); ++i) {
    const int step = i * 64 + phase;
    const std::string& record = tips.ShownAt(step);
    Check(&record == &tips.records[size_t(i)]);
    const int next = NextTipStep(step, tips.Count());
    Check(next == (step + 1 == 64 * tips.Count() ? 0 : step + 1));

    const std::string text = DisplayableText(record);
    Check(g_utf8_validate(text.data(), gssize(text.size()), nullptr));
    if (g_utf8_validate(record.data(), gssize(record.size()), nullptr)) Check(text == record);

    const tip_layout layout = LayOutStartupTip(text, MeasureBySum, phase);
    const int backslashes = int(std::count(text.begin(), text.end(), '\\'));
    const int pieces = std::min(backslashes + 1, 16);
    Check(int(layout.lines.size()) == pieces);
    const int ended = std::min(backslashes, 16);
    Check(layout.line_height == 13 && layout.height == 13 * (ended + 5) + 12);
    Check(layout.first_line_y == 64 - phase);
    int widest = 0;
    for (const std::string& line : layout.lines) {
      Check(line.find('\\') == std::string::npos);
      widest = std::max(widest, MeasureBySum(line).width);
    }
    Check(layout.width == widest + 10);
  }
  Check(tips.ShownAt(64 * tips.Count()).empty());
  return 0;
}
