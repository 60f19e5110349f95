#pragma once
#include <cstdint>

#include "codecs/raster.h"

class CByteStream;

// The 18-byte header that starts a TGA file.
struct tga_header {
  static constexpr uint32_t bytes = 18;

  uint8_t id_length = 0;
  uint8_t colour_map_type = 0;
  uint8_t image_type = 0;
  uint16_t colour_map_first = 0;
  uint16_t colour_map_length = 0;
  uint8_t colour_map_entry_size = 0;
  uint16_t x_origin = 0;
  uint16_t y_origin = 0;
  uint16_t width = 0;
  uint16_t height = 0;
  uint8_t pixel_depth = 0;
  uint8_t descriptor = 0;
};

// Reads and writes TGA files for CRaster; made only as a temporary codec object by
// CRaster::Decode and CRaster::Encode.
class CRasterTGA : public CRaster {
 public:
  explicit CRasterTGA(uint32_t format = raster_format_tga) : CRaster(format) {}

  // Colour-mapped, true-colour and grey images, raw or run-length, 8, 15, 16, 24 and
  // 32 bits (32 bits fill the alpha plane). False with a last-error text on refusal.
  bool Decode(CByteStream* stream);
  // 8-bit images with their palette, 24-bit images (32 bits with an alpha plane).
  bool Encode(CByteStream* stream);

 private:
  void ReadRawRow(uint8_t* row, const tga_header& header, CByteStream* stream, int32_t count,
                  int32_t file_row, int32_t first_x);
  // Returns the header of a packet that runs on into the next row, 255 for none.
  int ReadRleRow(uint8_t* row, const tga_header& header, CByteStream* stream, int32_t width,
                 int32_t file_row, int pending);
};
