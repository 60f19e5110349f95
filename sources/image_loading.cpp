#include <cstdint>
#include <filesystem>
#include <memory>
#include <utility>

#include "bytes/pixel_rows.h"
#include "engine/base/process_state.h"
#include "codecs/imaging.h"
#include "platform/ui_port.h"
#include "sources/document.h"
#include "sources/file_naming.h"
#include "sources/image_folder.h"
#include "codecs/raster.h"

bool CvorbelDoc::LoadSourceImage(const std::string& path, int s, decoded_source* decoded) {
  if (s != 1 && s != 2) return false;
  const std::string extension = SourceExtension(path);
  bool loaded = false;
  if (DecodesThroughImaging(path))
    loaded = decoded && decoded->path == path ? TakeDecodedSource(*decoded, s)
                                              : LoadSourceWithWic(path, s);
  else if (extension == "tga")
    loaded = LoadSourceWithCRaster(path, raster_format_tga, s);
  else if (extension == "pcx")
    loaded = LoadSourceWithCRaster(path, raster_format_pcx, s);

  if (!loaded) {
    the_ui().MessageBox("Unable to load this image file:   " + path, message_icon::error);
    return false;
  }
  // Named only now: a source whose new image failed is still the old one.
  file_name[s - 1] = path;
  source_kind[s - 1] = kind_file;
  the_ui().SetSourceFileName(SourceLabel(path), s);
  return true;
}

decoded_source DecodeImagingFile(const std::string& path, image_record reused) {
  decoded_source decoded;
  decoded.path = path;
  decoded.image = std::move(reused);
  std::string error;
  const std::unique_ptr<imaging::frame_decoder> decoder = imaging::OpenFile(path, error);
  if (!decoder) return decoded;
  const int width = decoder->Width();
  const int height = decoder->Height();
  if (width <= 0 || height <= 0) return decoded;
  if (!decoded.image.Reshape(width, height)) return decoded;
  const uint64_t stride = uint64_t(width) * 4;
  const uint64_t buffer_size = stride * uint64_t(height);
  if (!decoder->CopyPixels(decoded.image.Pixels(), size_t(stride), size_t(buffer_size)))
    return decoded;
  decoded.size = {width, height};
  decoded.ok = true;
  return decoded;
}

bool DecodesThroughImaging(const std::string& path) {
  return IsImagingExtension(SourceExtension(path));
}

bool CvorbelDoc::LoadSourceWithWic(const std::string& path, int s) {
  decoded_source decoded = DecodeImagingFile(path);
  return TakeDecodedSource(decoded, s);
}

bool CvorbelDoc::TakeDecodedSource(decoded_source& decoded, int s) {
  if ((s != 1 && s != 2) || !decoded.ok) return false;
  source_image[s - 1].Swap(decoded.image);
  image_size[s - 1] = decoded.size;
  decoded.ok = false;
  return true;
}

bool CvorbelDoc::LoadSourceWithCRaster(const std::string& path, uint32_t format_id, int s) {
  if (s != 1 && s != 2) return false;
  const std::unique_ptr<CRaster> image = std::make_unique<CRaster>(path.c_str(), format_id);
  if (!image->IsValid()) {
    the_ui().MessageBox(image->GetErrorText(), message_icon::none);
    return false;
  }
  const bitmap_info_header& header = image->GetHeader();
  if (header.biBitCount != 24 || header.biCompression != 0) {
    the_ui().MessageBox("Cannot handle this type of image.", message_icon::error);
    return false;
  }
  const int width = image->GetWidth();
  const int height = image->GetHeight();
  image_record fresh;
  if (width <= 0 || height <= 0 || !fresh.Create(width, height)) return false;

  for (int y = 0; y < height; ++y) {
    const uint8_t* from = image->GetBits(y);
    BgrToBgra(from, fresh.Pixels() + size_t(height - 1 - y) * size_t(width) * 4, size_t(width));
  }
  source_image[s - 1] = std::move(fresh);
  image_size[s - 1] = {width, height};
  return true;
}

bool CvorbelDoc::LoadSourceFile(const std::string& path, int s) {
  return LoadSourceFile(path, s, nullptr, true);
}

bool CvorbelDoc::LoadSourceFile(const std::string& path, int s, decoded_source* decoded,
                                bool place) {
  if (!wic_ready) {
    the_ui().MessageBox(imaging_refusal, message_icon::error);
    return false;
  }
  if (path.empty() || !OpenForReading(path)) return false;
  const int kind_before = s == 1 || s == 2 ? source_kind[s - 1] : kind_none;
  const bool loaded = LoadSourceImage(path, s, decoded);
  the_ui().SetDocumentTitle("");
  if (place) the_ui().MoveSourceToFixPosition(s);
  // The pane's layout follows only its size and the kinds of the sources.
  if (place || (loaded && source_kind[s - 1] != kind_before)) the_ui().AdjustLayout();
  return loaded;
}

void CvorbelDoc::StepSourceFile(int s, int step) {
  namespace fs = std::filesystem;
  if (s != 1 && s != 2) return;
  const std::string current = file_name[s - 1];
  std::error_code error;
  if (current.empty() || !fs::exists(current, error)) return;
  const fs::path current_path(current);
  const std::string current_name = current_path.filename().string();
  std::string folder = current_path.parent_path().string();
  if (!folder.empty() && folder.back() != '/') folder += '/';

  const auto names = ListImageFiles(folder);
  if (!names) {
    the_ui().MessageBox("No files found in this directory.", message_icon::none);
    return;
  }

  int place = 1;
  for (const std::string& name : *names) {
    if (name == current_name) break;
    ++place;
  }
  int target = place + step;
  if (target <= 0) return;

  const std::string* chosen = nullptr;
  for (const std::string& name : *names) {
    chosen = &name;
    if (--target == 0) break;
  }
  if (!chosen) return;
  const std::string path = folder + *chosen;
  // The walk stands on a file that failed to load, the source keeping its picture:
  // the next step goes on past it instead of trying it again.
  if (!LoadSourceFile(path, s) && wic_ready) file_name[s - 1] = path;
}
