// Offers arbitrary bytes as the clipboard's PNG to the paste's decoder, then takes
// what it gave on as the window does. A refusal must leave the block as it was; a
// decoded image must be the block its header declares and paste whole.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "bytes/le_bytes.h"
#include "codecs/imaging.h"
#include "sources/pasted_bitmap.h"
#include "sources/pasted_image_file.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Large frames are sound too, but would only slow the search down.
  std::string error;
  if (const auto decoder = imaging::OpenMemory(data, size, error))
    if (uint64_t(decoder->Width()) * uint64_t(decoder->Height()) > 2'000'000) return 0;

  const std::vector<uint8_t> untouched = {1, 2, 3};
  std::vector<uint8_t> block = untouched;
  const pasted_image result = BitmapBlockFromImageFile(size ? data : nullptr, size, block);
  if (result != pasted_image::done) {
    Check(block == untouched);
    return 0;
  }
  Check(block.size() >= 40);
  const int32_t width = GetLe32Signed(block.data() + 4), height = GetLe32Signed(block.data() + 8);
  Check(width >= 1 && height <= -1);
  Check(block.size() == 40 + uint64_t(width) * uint64_t(-int64_t(height)) * 4);

  image_record record;
  Check(NormalisePastedBitmap(block.data(), block.size(), record) == paste_done);
  Check(record.Width() == width && record.Height() == -height);
  return 0;
}
