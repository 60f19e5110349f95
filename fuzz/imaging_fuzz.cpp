// Arbitrary bytes through the imaging decoders: open, then decode into a buffer of
// exactly the size asked for, with rows packed or padded.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "codecs/imaging.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string error;
  auto decoder = imaging::OpenMemory(data, size, error);
  if (!decoder) return 0;
  const size_t width = static_cast<size_t>(decoder->Width());
  const size_t height = static_cast<size_t>(decoder->Height());
  // Large frames only make each run slow.
  if (width * height > 2'000'000) return 0;
  const size_t stride = width * 4 + (data[size - 1] & 1 ? 12 : 0);
  std::vector<uint8_t> pixels(stride * (height - 1) + width * 4);
  decoder->CopyPixels(pixels.data(), stride, pixels.size());
  return 0;
}
