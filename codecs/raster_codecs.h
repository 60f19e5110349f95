#pragma once
#include <cstdint>

#include "codecs/raster.h"

// How CRaster::Decode and CRaster::Encode reach a codec. A codec is a class derived from
// CRaster, adding no data, default-constructible, with
//   bool Decode(CByteStream* stream);   // fills the codec object; false with a last error
//   bool Encode(CByteStream* stream);   // writes the image the codec object shows
// It is registered by one line in the table of raster_codecs.cpp.
struct raster_codec {
  uint32_t format;
  // Decodes into a codec object that starts from image's information and, on success,
  // hands its buffers to image. A failed codec's error is copied only with keep_error.
  bool (*decode)(CRaster& image, CByteStream* stream, bool keep_error);
  // Encodes image through a codec object that shows image's buffers without owning them.
  bool (*encode)(CRaster& image, CByteStream* stream);
};

template <class Codec>
bool DecodeWithCodec(CRaster& image, CByteStream* stream, bool keep_error) {
  Codec codec;
  codec.CopyInfoIfEmpty(image);
  if (codec.Decode(stream)) return image.TakeOver(codec);
  if (keep_error) image.SetErrorText(codec.GetErrorText());
  return false;
}

template <class Codec>
bool EncodeWithCodec(CRaster& image, CByteStream* stream) {
  Codec codec;
  codec.MakeShallowView(image);
  const bool encoded = codec.Encode(stream);
  if (!encoded) image.SetErrorText(codec.GetErrorText());
  return encoded;
}

template <class Codec>
constexpr raster_codec CodecEntry(uint32_t format) {
  return {format, &DecodeWithCodec<Codec>, &EncodeWithCodec<Codec>};
}

// The codec of a format id, or null when none is registered.
const raster_codec* FindCodec(uint32_t format);
// Every registered codec, in the order the automatic pass tries them.
const raster_codec* CodecsBegin();
const raster_codec* CodecsEnd();
