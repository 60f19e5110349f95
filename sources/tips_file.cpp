#include "sources/tips_file.h"

#include <array>
#include <cstring>
#include <fstream>

namespace {

constexpr int steps_per_tip = 64;

// Length of the valid UTF-8 sequence that starts at text[at], or 0.
size_t Utf8SequenceAt(const std::string& text, size_t at) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) return 1;
  size_t length;
  unsigned char low = 0x80, high = 0xBF;  // range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing beyond U+10FFFF
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  if (byte(at + 1) < low || byte(at + 1) > high) return 0;
  for (size_t i = 2; i < length; ++i)
    if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) return 0;
  return length;
}

}  // namespace

const std::string& tip_lines::ShownAt(int step) const {
  static const std::string none;
  const int index = step / steps_per_tip;
  return index >= 0 && index < Count() ? records[size_t(index)] : none;
}

tip_lines ReadTipLines(std::istream& in) {
  tip_lines tips;
  bool more = true;
  while (more && tips.Count() < tip_lines::max_records) {
    std::array<char, tip_lines::record_columns> columns{};
    for (int column = 0; column < tip_lines::record_columns; ++column) {
      const int c = in.get();
      if (c == std::char_traits<char>::eof()) {
        more = false;
        break;
      }
      if (c == '\n') break;
      if (c != '\r') columns[size_t(column)] = char(c);
    }
    tips.records.emplace_back(columns.data(), strnlen(columns.data(), columns.size()));
  }
  return tips;
}

bool ReadTipsFileIn(const std::vector<std::filesystem::path>& folders, const std::string& name,
                    tip_lines& tips) {
  for (const std::filesystem::path& folder : folders) {
    const std::filesystem::path path = folder / name;
    std::error_code error;
    // A folder of that name would open but read nothing useful.
    if (!std::filesystem::is_regular_file(path, error)) continue;
    std::ifstream file(path, std::ios::binary);
    if (!file) continue;
    tips = ReadTipLines(file);
    return true;
  }
  return false;
}

int NextTipStep(int step, int tip_count) {
  return step + 1 < steps_per_tip * tip_count ? step + 1 : 0;
}

std::string DisplayableText(const std::string& bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (size_t at = 0; at < bytes.size();) {
    if (const size_t length = Utf8SequenceAt(bytes, at)) {
      text.append(bytes, at, length);
      at += length;
      continue;
    }
    const unsigned char c = static_cast<unsigned char>(bytes[at++]);
    text += char(0xC0 | (c >> 6));
    text += char(0x80 | (c & 0x3F));
  }
  return text;
}
