#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>

#include "codecs/imaging_codecs.h"

namespace imaging {
namespace {

// libpng reports errors by longjmp: everything that must be freed lives in this
// session, which outlives the jump, and no C++ object is created between setjmp
// and the end of the library calls.
struct png_session {
  byte_view bytes;
  size_t position = 0;
  std::vector<uint8_t>* out = nullptr;
  char message[160] = "";
};

[[noreturn]] void OnError(png_structp png, png_const_charp text) {
  auto* session = static_cast<png_session*>(png_get_error_ptr(png));
  std::snprintf(session->message, sizeof session->message, "PNG: %s", text);
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void ReadBytes(png_structp png, png_bytep out, size_t count) {
  auto* session = static_cast<png_session*>(png_get_io_ptr(png));
  if (count > session->bytes.size - session->position) png_error(png, "the file is truncated");
  std::memcpy(out, session->bytes.data + session->position, count);
  session->position += count;
}

void WriteBytes(png_structp png, png_bytep data, size_t count) {
  auto* session = static_cast<png_session*>(png_get_io_ptr(png));
  bool stored = true;
  try {
    session->out->insert(session->out->end(), data, data + count);
  } catch (const std::bad_alloc&) {
    stored = false;
  }
  if (!stored) png_error(png, "out of memory");
}

void Flush(png_structp) {}

// libpng takes the length a text or palette chunk declares at its word and sets
// that much memory aside, cleared, before reading it: a few bytes declaring a
// gigabyte would hold the window for seconds. The whole file is at hand, so every
// chunk ahead of the image data must fit in what is left of it.
bool ChunksBeforeImageDataFit(byte_view bytes) {
  size_t at = 8;  // past the signature
  while (at <= bytes.size && bytes.size - at >= 8) {
    const uint8_t* chunk = bytes.data + at;
    if (std::memcmp(chunk + 4, "IDAT", 4) == 0) return true;
    const uint64_t length = uint64_t(chunk[0]) << 24 | uint64_t(chunk[1]) << 16 | chunk[2] << 8 | chunk[3];
    if (length + 12 > bytes.size - at) return false;
    at += size_t(length) + 12;
  }
  return true;
}

// Reads the header into width and height and, with dest, decodes every row into
// blue, green, red, alpha.
bool Decode(png_session& session, png_uint_32& width, png_uint_32& height, uint8_t* dest,
            size_t stride) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &session, OnError, OnWarning);
  if (png == nullptr) {
    std::snprintf(session.message, sizeof session.message, "PNG: out of memory");
    return false;
  }
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    std::snprintf(session.message, sizeof session.message, "PNG: out of memory");
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  if (!ChunksBeforeImageDataFit(session.bytes)) png_error(png, "the file is truncated");
  png_set_read_fn(png, &session, ReadBytes);
  png_read_info(png, info);
  width = png_get_image_width(png, info);
  height = png_get_image_height(png, info);
  if (dest != nullptr) {
    const int color_type = png_get_color_type(png, info);
    const bool has_transparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    png_set_expand(png);
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    if ((color_type & PNG_COLOR_MASK_ALPHA) == 0 && !has_transparency)
      png_set_filler(png, 0xff, PNG_FILLER_AFTER);
    png_set_bgr(png);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<size_t>(width) * 4)
      png_error(png, "unexpected row layout");
    for (int pass = 0; pass < passes; ++pass)
      for (png_uint_32 y = 0; y < height; ++y) png_read_row(png, dest + y * stride, nullptr);
  }
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

class png_decoder : public byte_decoder {
 public:
  using byte_decoder::byte_decoder;

  bool Open() {
    png_session session{bytes};
    png_uint_32 w = 0, h = 0;
    if (!Decode(session, w, h, nullptr, 0)) {
      error = session.message;
      return false;
    }
    return SetSize(w, h);
  }

  bool CopyPixels(uint8_t* dest, size_t stride, size_t buffer_size) override {
    if (!CheckDestination(dest, stride, buffer_size)) return false;
    png_session session{bytes};
    png_uint_32 w = 0, h = 0;
    if (!Decode(session, w, h, dest, stride)) {
      error = session.message;
      return false;
    }
    return true;
  }
};

}  // namespace

std::unique_ptr<frame_decoder> OpenPng(byte_view bytes, std::string& error) {
  return OpenWith<png_decoder>(bytes, error);
}

bool EncodePng(const pixel_rows& image, std::vector<uint8_t>& out, std::string& error) {
  png_session session;
  session.out = &out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &session, OnError, OnWarning);
  if (png == nullptr) {
    error = "PNG: out of memory";
    return false;
  }
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    error = "PNG: out of memory";
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    error = session.message;
    return false;
  }
  png_set_write_fn(png, &session, WriteBytes, Flush);
  png_set_IHDR(png, info, image.width, image.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_set_bgr(png);
  if (image.pixel_bytes == 4) png_set_filler(png, 0, PNG_FILLER_AFTER);
  for (int y = 0; y < image.height; ++y)
    png_write_row(png, image.pixels + static_cast<size_t>(y) * image.stride);
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace imaging
