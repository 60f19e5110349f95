// The text batch's line reader on arbitrary bytes: every line fits the source text,
// ends in CR LF, carries no NUL and holds no other line break but escaped ones.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "batch/batch_line_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<char> bytes(data, data + size);
  bytes.push_back('\0');  // fmemopen needs a size above 0; one trailing NUL is dropped anyway
  std::FILE* file = fmemopen(bytes.data(), bytes.size(), "rb");
  if (!file) return 0;
  batch_line_reader reader(file);
  std::string text;
  size_t lines = 0;
  while (reader.ReadLine(text)) {
    if (text.size() > batch_line_reader::max_line_bytes + 2 || !text.ends_with("\r\n") ||
        text.find('\0') != std::string::npos || ++lines > size + 1)
      std::abort();
  }
  std::fclose(file);
  return 0;
}
