// Arbitrary bytes opened as a source file. The first byte names the file (one of the
// extensions below, in either case, or one that no reader takes) and picks the road:
// the document's open, the batch's load, with the image perhaps decoded ahead; the
// rest is the file. Every reader is thus reached by its name and by the content of
// another's. A load either fills the source with the image its reader reads from the
// file, or reports its failure and leaves the source as it was.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/base/process_state.h"
#include "fuzz/temporary_folder.h"
#include "codecs/imaging.h"
#include "platform/ui_port.h"
#include "sources/document.h"
#include "sources/file_naming.h"
#include "codecs/raster.h"

namespace {

// A broken rule names itself before the abort, so a finding reads at once.
#define Check(condition) \
  ((condition) ? void() : (std::fprintf(stderr, "broken: %s\n", #condition), std::abort()))

constexpr std::array<const char*, 16> endings = {
    ".bmp", ".jpg", ".jpeg", ".JPEG", ".png", ".tif", ".tga", ".pcx",
    ".BMP", ".PNG", ".Tif",  ".TGA",  ".Pcx", ".tiff", ".gif", ""};

class answering_ui : public ui_port {
 public:
  int messages = 0;
  std::string last_message;
  int replace_answer = 2;

  int MessageBox(const std::string& text, message_icon) override {
    ++messages;
    last_message = text;
    return 1;
  }
  int RunReplaceSource() override { return replace_answer; }
};

const std::filesystem::path& Folder() {
  static const temporary_folder folder("source-file-fuzz");
  return folder.path;
}

// The imaging layer picks its decoder by content: the same bytes in memory give an
// image of the same size.
void CheckAgainstMemory(const uint8_t* data, size_t size, const image_record& record) {
  std::string error;
  const auto decoder = imaging::OpenMemory(data, size, error);
  Check(decoder && decoder->Width() == record.Width() && decoder->Height() == record.Height());
}

// The built-in road copies the image class's own reading of the file, bottom row
// last, every pixel opaque.
void CheckAgainstRaster(const std::string& path, uint32_t format, const image_record& record) {
  const CRaster image(path.c_str(), format);
  Check(image.IsValid() && image.GetBpp() == 24);
  const int w = record.Width(), h = record.Height();
  Check(image.GetWidth() == w && image.GetHeight() == h);
  for (int y = 0; y < h; ++y) {
    const uint8_t* from = image.GetBits(h - 1 - y);
    const uint8_t* to = record.Pixels() + size_t(y) * size_t(w) * 4;
    for (int x = 0; x < w; ++x)
      Check(std::memcmp(from + x * 3, to + x * 4, 3) == 0 && to[x * 4 + 3] == 255);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static CvorbelDoc doc;
  static answering_ui ui;
  SetUiPort(&ui);
  wic_ready = true;

  const uint8_t choice = data[0];
  const std::string path = (Folder() / "input").string() + endings[choice & 15];
  {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data + 1), std::streamsize(size - 1));
  }
  const int s = choice & 16 ? 2 : 1;
  const bool decode_ahead = choice & 32;
  const bool by_open = choice & 64;
  const bool asking = choice & 128;  // or, on the batch's road, placing the source

  const uint8_t* bitmap_before = doc.source_image[s - 1].bitmap;
  const vsize size_before = doc.image_size[s - 1];
  const int kind_before = doc.source_kind[s - 1];
  const std::string name_before = doc.file_name[s - 1];
  ui.messages = 0;

  bool loaded;
  if (by_open) {
    // With two sources counted the open asks which to replace; otherwise the next free one.
    const int count_before = asking ? 2 : s - 1;
    source_count = count_before;
    ui.replace_answer = 128 + s;
    loaded = doc.OnOpenDocument(path);
    Check(source_count == (loaded ? std::max(count_before, s) : count_before));
  } else {
    decoded_source decoded;
    if (decode_ahead && DecodesThroughImaging(path)) decoded = DecodeImagingFile(path);
    loaded = doc.LoadSourceFile(path, s, decode_ahead ? &decoded : nullptr, asking);
  }

  const std::string extension = SourceExtension(path);
  const bool named_for_a_reader =
      IsImagingExtension(extension) || extension == "tga" || extension == "pcx";
  if (!loaded) {
    Check(ui.messages >= 1 && ui.last_message == "Unable to load this image file:   " + path);
    Check(doc.source_image[s - 1].bitmap == bitmap_before);
    Check(doc.image_size[s - 1].width == size_before.width &&
          doc.image_size[s - 1].height == size_before.height);
    Check(doc.source_kind[s - 1] == kind_before && doc.file_name[s - 1] == name_before);
    return 0;
  }

  Check(named_for_a_reader);
  Check(ui.messages == 0);
  Check(doc.source_kind[s - 1] == kind_file && doc.file_name[s - 1] == path);
  const image_record& record = doc.source_image[s - 1];
  const int w = doc.image_size[s - 1].width, h = doc.image_size[s - 1].height;
  Check(w > 0 && h > 0 && record.Width() == w && record.Height() == h);
  Check(record.mask_size == w * h);
  for (int i = 0; i < w * h; ++i) Check(record.mask[i] == 1);
  if (IsImagingExtension(extension))
    CheckAgainstMemory(data + 1, size - 1, record);
  else
    CheckAgainstRaster(path, extension == "tga" ? raster_format_tga : raster_format_pcx, record);
  return 0;
}
