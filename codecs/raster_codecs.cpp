#include "codecs/raster_codecs.h"

#include <iterator>

#include "codecs/raster_bmp.h"
#include "codecs/raster_pcx.h"
#include "codecs/raster_tga.h"

namespace {

// The automatic pass tries the codecs in this order: BMP, TGA, PCX.
constexpr raster_codec codec_table[] = {
    CodecEntry<CRasterBMP>(raster_format_bmp),
    CodecEntry<CRasterTGA>(raster_format_tga),
    CodecEntry<CRasterPCX>(raster_format_pcx),
};

}  // namespace

const raster_codec* FindCodec(uint32_t format) {
  for (const raster_codec& codec : codec_table)
    if (codec.format == format) return &codec;
  return nullptr;
}

const raster_codec* CodecsBegin() { return std::begin(codec_table); }
const raster_codec* CodecsEnd() { return std::end(codec_table); }
