#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "codecs/file_stream.h"
#include "codecs/raster.h"
#include "codecs/raster_codecs.h"

namespace {

// An open file with a buffer large enough that the codecs' reads and writes of a row
// or a block do not each become a system call; closed when it goes.
class buffered_file {
 public:
  explicit buffered_file(FILE* opened) : file(opened) {
    if (file) std::setvbuf(file, buffer.get(), _IOFBF, buffer_bytes);
  }
  ~buffered_file() { Close(); }
  buffered_file(const buffered_file&) = delete;
  buffered_file& operator=(const buffered_file&) = delete;

  FILE* get() const { return file; }
  // False when buffered bytes could not be written out.
  bool Close() {
    FILE* closing = file;
    file = nullptr;
    return !closing || std::fclose(closing) == 0;
  }

 private:
  static constexpr size_t buffer_bytes = size_t{1} << 20;
  std::unique_ptr<char[]> buffer{new char[buffer_bytes]};
  FILE* file;
};

// Opened for a new content. A file that is empty already (the saver's staged file) is
// not truncated: some file systems take a truncation as a replacement in place and
// write the data out at once when the file is closed.
FILE* OpenForWriting(const char* path) {
  const int fd = open(path, O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  struct stat info;
  FILE* file = nullptr;
  if (fstat(fd, &info) == 0 && (info.st_size == 0 || ftruncate(fd, 0) == 0)) file = fdopen(fd, "wb");
  if (!file) close(fd);
  return file;
}

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
    buffered_file file(std::fopen(path, "rb"));
    if (!file.get()) return false;
    if (Decode(file.get(), format)) return true;
  }
  char asked_error[sizeof info.last_error];
  std::memcpy(asked_error, info.last_error, sizeof asked_error);
  buffered_file file(std::fopen(path, "rb"));
  if (!file.get()) return false;
  const bool decoded = Decode(file.get(), raster_format_unknown);
  if (decoded || format == raster_format_unknown) return decoded;
  std::memcpy(info.last_error, asked_error, sizeof asked_error);
  return false;
}

bool CRaster::Save(const char* path, uint32_t format) {
  buffered_file file(path ? OpenForWriting(path) : nullptr);
  if (!file.get()) return false;
  const bool encoded = Encode(file.get(), format);
  // Buffered bytes that cannot be written out make the save a failure too.
  if (!file.Close() && encoded) {
    SetErrorText("Save: the file could not be written");
    return false;
  }
  return encoded;
}
