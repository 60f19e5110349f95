// Pastes arbitrary bytes as a clipboard bitmap block, and as a bitmap file's bytes
// turned into one. A refusal must leave the record empty; a pasted image must have
// its size, a full mask and every pixel readable.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "sources/pasted_bitmap.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void PasteAndRead(const uint8_t* data, size_t size) {
  image_record record;
  const paste_result result = NormalisePastedBitmap(data, size, record);
  if (result != paste_done) {
    Check(record.Empty());
    return;
  }
  const size_t pixels = size_t(record.Width()) * size_t(record.Height());
  Check(record.Width() >= 1 && record.Height() >= 1);
  Check(size_t(record.mask_size) == pixels);
  unsigned sum = 0;
  for (size_t i = 0; i < pixels * 4; ++i) sum += record.Pixels()[i];
  for (size_t i = 0; i < pixels; ++i) Check(record.mask[i] == 1);
  volatile unsigned keep = sum;
  (void)keep;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exact-size copy, so that any read past the block's end is seen.
  std::vector<uint8_t> block(data, data + size);
  PasteAndRead(block.empty() ? nullptr : block.data(), block.size());
  const std::vector<uint8_t> from_file = BitmapBlockFromFile(data, size);
  if (!from_file.empty()) PasteAndRead(from_file.data(), from_file.size());
  return 0;
}
