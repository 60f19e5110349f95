#include "batch/batch_choices.h"

#include "batch/my_filefind.h"

void ApplyBatchDialog(batch_choices& choices, int kind, int type, const std::string& name_edit) {
  choices.output_type = type;
  if (kind != source1_directory) choices.source1_path.clear();
  if (kind != source1_text) choices.text_file.clear();
  if (choices.name_mode == 1) choices.name_text = name_edit;
}

namespace {

// Counts characters, not bytes, so that a tail never starts inside one.
size_t Characters(const std::string& text) {
  size_t n = 0;
  for (unsigned char byte : text) n += (byte & 0xC0) != 0x80;
  return n;
}

}  // namespace

std::string ShortenedOutputFolder(const std::string& source2_path) {
  const size_t slash = source2_path.rfind('/');
  std::string text = (slash == std::string::npos ? std::string() : source2_path.substr(0, slash)) +
                     "/output";
  if (Characters(text) <= 50) return text;
  while (Characters(text) > 50) text = text.substr(text.find('/', 1));
  return "..." + text;
}

int PackSortWord(int key, bool forwards, bool case_sensitive) {
  static constexpr int key_bits[3] = {sort_by_time, sort_by_name, sort_by_length};
  return (forwards ? sort_forwards : 0) + (case_sensitive ? sort_case_sensitive : 0) +
         key_bits[key >= 0 && key <= 2 ? key : 0];
}
