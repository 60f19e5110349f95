#include <cstdio>
// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>
#include <jerror.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <new>

#include "codecs/imaging_codecs.h"

namespace imaging {
namespace {

// Each scan of a progressive file walks the blocks of its components again, so a
// file that repeats a scan can keep the decoder busy for many seconds. Encoders
// write about a dozen scans (eighteen for four components); the work is bounded
// both by the number of scans and by the blocks they visit, counted in passes
// over the whole frame.
constexpr int max_scans = 32;
constexpr uint64_t max_frame_passes = 10;
// Progressive files keep every coefficient in memory: about 2 bytes a pixel and
// component, well under this for any frame the program accepts.
constexpr long max_decoder_memory = 1L << 30;

// libjpeg reports errors by longjmp: what must be freed lives here, in the caller of
// the function that sets the jump, and no C++ object is created between setjmp and
// the end of the library calls.
// The progress hook's state: the library hands back only the embedded manager.
struct scan_budget {
  jpeg_progress_mgr manager;
  int counted_scan = 0;
  uint64_t blocks = 0;
  uint64_t limit = 0;
};

struct jpeg_failure {
  jpeg_error_mgr manager;
  scan_budget progress;
  jmp_buf jump;
  char message[JMSG_LENGTH_MAX + 8] = "";
};

struct decompress_session : jpeg_failure {
  jpeg_decompress_struct info;
};

// The encoded bytes go straight into the caller's vector, whose memory is kept from
// file to file.
struct vector_destination {
  jpeg_destination_mgr manager;
  std::vector<uint8_t>* out = nullptr;
};

struct compress_session : jpeg_failure {
  jpeg_compress_struct info;
  vector_destination destination;
};

[[noreturn]] void Fail(j_common_ptr info, const char* text) {
  auto* failure = reinterpret_cast<jpeg_failure*>(info->err);
  std::snprintf(failure->message, sizeof failure->message, "JPEG: %s", text);
  std::longjmp(failure->jump, 1);
}

[[noreturn]] void OnError(j_common_ptr info) {
  char text[JMSG_LENGTH_MAX];
  info->err->format_message(info, text);
  Fail(info, text);
}

// Warnings are ignored, except running out of data: libjpeg would pad the image
// with grey, and a truncated file must fail.
void OnMessage(j_common_ptr info, int level) {
  if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) OnError(info);
}

uint64_t ComponentBlocks(const jpeg_component_info& c) {
  return uint64_t{c.width_in_blocks} * c.height_in_blocks;
}

// Called before every row the library consumes or emits, and so once at least at
// the start of each scan, whose components are known by then.
void OnProgress(j_common_ptr info) {
  auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
  if (decompress->input_scan_number > max_scans) Fail(info, "too many scans");
  auto* budget = reinterpret_cast<scan_budget*>(info->progress);
  if (decompress->input_scan_number == budget->counted_scan) return;
  budget->counted_scan = decompress->input_scan_number;
  ++DecodeWork().jpeg_scans;
  for (int i = 0; i < decompress->comps_in_scan; ++i)
    budget->blocks += ComponentBlocks(*decompress->cur_comp_info[i]);
  if (budget->blocks > budget->limit) Fail(info, "too many scans for the image size");
}

void Prepare(jpeg_failure& failure) {
  jpeg_std_error(&failure.manager);
  failure.manager.error_exit = OnError;
  failure.manager.emit_message = OnMessage;
  failure.progress = {};
  failure.progress.manager.progress_monitor = OnProgress;
}

uint8_t Product(unsigned a, unsigned b) { return static_cast<uint8_t>((a * b + 127) / 255); }

// Reads the header into width and height and, with dest, decodes every row into
// blue, green, red, alpha.
bool Decode(byte_view bytes, decompress_session& session, JDIMENSION& width,
            JDIMENSION& height, uint8_t* dest, size_t stride) {
  jpeg_decompress_struct& info = session.info;
  Prepare(session);
  info.err = &session.manager;
  if (setjmp(session.jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  info.progress = &session.progress.manager;
  info.mem->max_memory_to_use = max_decoder_memory;
  jpeg_mem_src(&info, bytes.data, static_cast<unsigned long>(bytes.size));
  jpeg_read_header(&info, TRUE);
  for (int c = 0; c < info.num_components; ++c)
    session.progress.limit += max_frame_passes * ComponentBlocks(info.comp_info[c]);
  width = info.image_width;
  height = info.image_height;
  if (dest != nullptr) {
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
    jpeg_start_decompress(&info);
    if (info.output_width != width || info.output_height != height ||
        info.output_components != 4)
      Fail(reinterpret_cast<j_common_ptr>(&info), "unexpected output layout");
    JSAMPARRAY cmyk_row =
        cmyk ? info.mem->alloc_sarray(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                      width * 4, 1)
             : nullptr;
    while (info.output_scanline < height) {
      uint8_t* row = dest + static_cast<size_t>(info.output_scanline) * stride;
      JSAMPROW target = cmyk ? cmyk_row[0] : row;
      if (jpeg_read_scanlines(&info, &target, 1) != 1)
        Fail(reinterpret_cast<j_common_ptr>(&info), "the file is truncated");
      if (!cmyk) continue;
      for (JDIMENSION x = 0; x < width; ++x) {
        // CMYK JPEG files hold inverted ink (255 = none), the convention of Adobe's
        // writers, which other tools follow even where the Adobe marker is missing.
        const uint8_t* ink = target + x * 4;
        row[x * 4] = Product(ink[2], ink[3]);
        row[x * 4 + 1] = Product(ink[1], ink[3]);
        row[x * 4 + 2] = Product(ink[0], ink[3]);
        row[x * 4 + 3] = 255;
      }
    }
  }
  jpeg_destroy_decompress(&info);
  return true;
}

// Gives the encoder the vector from written on to write into: all the memory it has
// already, and twice what is written when that is full.
void GiveRoom(j_compress_ptr info, size_t written) {
  auto* destination = reinterpret_cast<vector_destination*>(info->dest);
  std::vector<uint8_t>& out = *destination->out;
  const size_t wanted = std::max({out.capacity(), written * 2, size_t{1} << 16});
  bool grown = true;
  try {
    out.resize(wanted);
  } catch (const std::bad_alloc&) {
    grown = false;
  }
  if (!grown) Fail(reinterpret_cast<j_common_ptr>(info), "out of memory");
  destination->manager.next_output_byte = out.data() + written;
  destination->manager.free_in_buffer = out.size() - written;
}

void StartDestination(j_compress_ptr info) { GiveRoom(info, 0); }

boolean EmptyDestination(j_compress_ptr info) {
  GiveRoom(info, reinterpret_cast<vector_destination*>(info->dest)->out->size());
  return TRUE;
}

void EndDestination(j_compress_ptr info) {
  auto* destination = reinterpret_cast<vector_destination*>(info->dest);
  destination->out->resize(destination->out->size() - destination->manager.free_in_buffer);
}

bool Encode(const pixel_rows& image, compress_session& session) {
  jpeg_compress_struct& info = session.info;
  Prepare(session);
  info.err = &session.manager;
  if (setjmp(session.jump)) {
    jpeg_destroy_compress(&info);
    return false;
  }
  jpeg_create_compress(&info);
  session.destination.manager.init_destination = StartDestination;
  session.destination.manager.empty_output_buffer = EmptyDestination;
  session.destination.manager.term_destination = EndDestination;
  info.dest = &session.destination.manager;
  info.image_width = static_cast<JDIMENSION>(image.width);
  info.image_height = static_cast<JDIMENSION>(image.height);
  info.input_components = image.pixel_bytes;
  info.in_color_space = image.pixel_bytes == 4 ? JCS_EXT_BGRX : JCS_EXT_BGR;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 90, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(image.pixels + info.next_scanline * image.stride);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return true;
}

class jpeg_decoder : public byte_decoder {
 public:
  using byte_decoder::byte_decoder;

  bool Open() {
    decompress_session session;
    JDIMENSION w = 0, h = 0;
    if (!Decode(bytes, session, w, h, nullptr, 0)) {
      error = session.message;
      return false;
    }
    return SetSize(w, h);
  }

  bool CopyPixels(uint8_t* dest, size_t stride, size_t buffer_size) override {
    if (!CheckDestination(dest, stride, buffer_size)) return false;
    decompress_session session;
    JDIMENSION w = 0, h = 0;
    if (!Decode(bytes, session, w, h, dest, stride)) {
      error = session.message;
      return false;
    }
    return true;
  }
};

}  // namespace

std::unique_ptr<frame_decoder> OpenJpeg(byte_view bytes, std::string& error) {
  return OpenWith<jpeg_decoder>(bytes, error);
}

bool EncodeJpeg(const pixel_rows& image, std::vector<uint8_t>& out, std::string& error) {
  compress_session session;
  session.destination.out = &out;
  if (Encode(image, session)) return true;
  out.clear();
  error = session.message;
  return false;
}

}  // namespace imaging
