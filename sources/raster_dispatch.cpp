#include <cstdio>
#include <cstring>

#include "sources/file_stream.h"
#include "sources/raster.h"
#include "sources/raster_codecs.h"

namespace {

struct file_closer {
  FILE* file;
  ~file_closer() {
    if (file) std::fclose(file);
  }
};

}  // namespace

uint32_t CRaster::FormatSlot(uint32_t format) {
  switch (format) {
    case raster_format_bmp:
      return 1;
    case raster_format_tga:
      return 2;
    case raster_format_pcx:
      return 3;
    default:
      return 0;
  }
}

bool CRaster::Decode(CByteStream* stream, uint32_t format) {
  if (!stream) {
    SetErrorText("null file handler");
    return false;
  }
  if (format == raster_format_unknown) {
    const int64_t start = stream->Tell();
    for (const raster_codec* codec = CodecsBegin(); codec != CodecsEnd(); ++codec) {
      stream->Seek(start, 0);
      if (codec->decode(*this, stream, false)) return true;
    }
    stream->Seek(start, 0);
  } else if (const raster_codec* codec = FindCodec(format)) {
    return codec->decode(*this, stream, true);
  }
  SetErrorText("Decode: Unknown or wrong format");
  return false;
}

bool CRaster::Decode(FILE* file, uint32_t format) {
  CFileStream stream(file);
  return Decode(file ? &stream : nullptr, format);
}

bool CRaster::Encode(CByteStream* stream, uint32_t format) {
  if (const raster_codec* codec = FindCodec(format)) return codec->encode(*this, stream);
  SetErrorText("Encode: Unknown format");
  return false;
}

bool CRaster::Encode(FILE* file, uint32_t format) {
  CFileStream stream(file);
  return Encode(file ? &stream : nullptr, format);
}

bool CRaster::CheckBeforeEncode(CByteStream* stream) {
  if (!stream) {
    SetErrorText("null file handler");
    return true;
  }
  if (!dib) {
    SetErrorText("null image!!!");
    return true;
  }
  return false;
}

bool CRaster::Load(const char* path, uint32_t format) {
  if (!path) return false;
  if (FormatSlot(format) != 0) {
    file_closer file{std::fopen(path, "rb")};
    if (!file.file) return false;
    if (Decode(file.file, format)) return true;
  }
  char asked_error[sizeof info.last_error];
  std::memcpy(asked_error, info.last_error, sizeof asked_error);
  file_closer file{std::fopen(path, "rb")};
  if (!file.file) return false;
  const bool decoded = Decode(file.file, raster_format_unknown);
  if (decoded || format == raster_format_unknown) return decoded;
  std::memcpy(info.last_error, asked_error, sizeof asked_error);
  return false;
}

bool CRaster::Save(const char* path, uint32_t format) {
  FILE* file = path ? std::fopen(path, "wb") : nullptr;
  if (!file) return false;
  const bool encoded = Encode(file, format);
  // Buffered bytes that cannot be written out make the save a failure too.
  if (std::fclose(file) != 0 && encoded) {
    SetErrorText("Save: the file could not be written");
    return false;
  }
  return encoded;
}
