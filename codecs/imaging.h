#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Our stand-in for the platform's imaging component: decodes the first frame or page
// of a BMP, JPEG, PNG or TIFF file (chosen by its content, not its name) into 32-bit
// blue, green, red, alpha pixels, top row first, alpha unassociated; encodes 24-bit
// blue, green, red pixels into the same four containers.
namespace imaging {

enum class container { bmp, jpeg, png, tiff };

class frame_decoder {
 public:
  virtual ~frame_decoder() = default;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  // Decodes the whole frame into dest, rows of stride bytes, top row first.
  // buffer_size is the size of dest; too small a buffer fails.
  virtual bool CopyPixels(uint8_t* dest, size_t stride, size_t buffer_size) = 0;
  const std::string& Error() const { return error; }

 protected:
  std::string error;
};

// Null when the file cannot be read or is none of the four formats; error says why.
std::unique_ptr<frame_decoder> OpenFile(const std::string& path, std::string& error);
// The same for bytes in memory (the clipboard); data must outlive the decoder.
std::unique_ptr<frame_decoder> OpenMemory(const uint8_t* data, size_t size, std::string& error);

// Pixels to encode: rows of stride bytes, top row first; each pixel blue, green, red
// and, with pixel_bytes 4, a fourth byte that is not written. Every encoder reads
// either layout as it stands, without a copy of the picture.
struct pixel_rows {
  const uint8_t* pixels;
  int width;
  int height;
  size_t stride;
  int pixel_bytes;  // 3 or 4
};

// Writes the pixels into path as 24-bit blue, green, red. JPEG quality is 90. bytes,
// when given, holds the encoded file on its way to the disk and keeps its memory for
// the next call; before_writing, when given, runs once the file is encoded and before
// it reaches the disk. False (with error) when any step or write fails.
bool EncodeFile(const std::string& path, container format, const pixel_rows& rows,
                std::string& error, std::vector<uint8_t>* bytes = nullptr,
                const std::function<void()>& before_writing = {});

// The work the decoders on this thread have done so far: the JPEG scans they began,
// and the reads of rows, tiles or whole images they asked of libtiff. It bounds, by
// count rather than by time, the effort a hostile file costs.
struct decode_work {
  uint64_t jpeg_scans = 0;
  uint64_t tiff_reads = 0;
};
decode_work& DecodeWork();

}  // namespace imaging
