#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <new>

#include "bytes/pixel_rows.h"
#include "engine/base/process_state.h"
#include "codecs/imaging.h"
#include "platform/settings.h"
#include "platform/staged_file.h"
#include "platform/ui_port.h"
#include "sources/document.h"
#include "sources/file_naming.h"
#include "codecs/raster.h"

namespace {

constexpr const char* save_filter =
    "Bitmap Files (*.bmp)|*.bmp|Jpeg Files (*.jpg)|*.jpg|Png Files (*.png)|*.png|"
    "Tif Files (*.tif)|*.tif|Tga Files (*.tga)|*.tga|Pcx Files (*.pcx)|*.pcx||";
constexpr const char* filter_extensions[6] = {"bmp", "jpg", "png", "tif", "tga", "pcx"};

// Packed pixels of the target's size, top row first: the target or a copy of it.
struct picture_rows {
  const bgra* pixels;
  int width, height;

  // Row y (0 at the top) as blue, green, red, fourth byte.
  const uint8_t* Row(int y) const {
    return reinterpret_cast<const uint8_t*>(pixels + size_t(y) * size_t(width));
  }
  bool SizeUsable() const {
    return width > 0 && width <= max_target_width && height > 0 && height <= max_target_height;
  }
};

bool WritePictureWithImaging(const std::string& path, const std::string& extension,
                             const picture_rows& picture, std::vector<uint8_t>* encoded,
                             const std::function<void()>& before_writing) {
  imaging::container format;
  if (extension == "bmp")
    format = imaging::container::bmp;
  else if (extension == "jpg")
    format = imaging::container::jpeg;
  else if (extension == "png")
    format = imaging::container::png;
  else if (extension == "tif")
    format = imaging::container::tiff;
  else
    return false;
  if (!picture.SizeUsable()) return false;
  // The encoders skip the fourth byte of each pixel themselves: no 24-bit copy is made.
  const imaging::pixel_rows rows{picture.Row(0), picture.width, picture.height,
                                 size_t(picture.width) * sizeof(bgra), 4};
  std::string error;
  return imaging::EncodeFile(path, format, rows, error, encoded, before_writing);
}

bool WritePictureWithCRaster(const std::string& path, uint32_t format_id,
                             const picture_rows& picture, const std::function<void()>& before_writing) {
  if (!picture.SizeUsable()) return false;
  const size_t width = size_t(picture.width);
  const size_t height = size_t(picture.height);
  const size_t size = width * height * 4 + 54;
  // Left unset: the header, the rows and their padding are all written below, and the
  // decoder reads nothing past them.
  std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[size]);
  if (!block) return false;

  // A bare bitmap: no file header, rows bottom-up.
  WriteBitmapInfoHeader(UncompressedHeader(picture.width, picture.height, 24, uint32_t(width * height * 4)),
                        block.get());
  const size_t row_bytes = width * 3 + width % 4;
  for (size_t row = 0; row < height; ++row) {
    uint8_t* to = block.get() + bitmap_info_header::bytes + row * row_bytes;
    BgraToBgr(picture.Row(int(height - 1 - row)), to, width);
    std::memset(to + width * 3, 0, width % 4);
  }
  CRaster image(block.get(), size - 10, raster_format_bmp);
  if (before_writing) before_writing();
  return image.Save(path.c_str(), format_id);
}

}  // namespace

void CvorbelDoc::OnFileSaveAs() {
  if (source_count != 2) {
    the_ui().MessageBox("There must be two source images present before anything can be saved.",
                        message_icon::error);
    return;
  }
  settings_store& settings = the_settings();
  save_file_request request;
  request.filter = save_filter;
  request.initial_folder = settings.GetString("Configure", "Last Save Directory", "");
  request.filter_index = settings.GetClampedInt("Configure", "Last Save Extension", 0, 0, 6);
  if (!the_ui().AskSaveFileName(request)) return;

  std::string name = request.name;
  const size_t folder_length = request.path.size() - std::min(request.path.size(), name.size());
  const std::string folder = request.path.substr(0, folder_length);
  const size_t dot = name.rfind('.');
  std::string extension = dot == std::string::npos ? "" : name.substr(dot + 1);
  settings.WriteInt("Configure", "Last Save Extension", request.filter_index);
  settings.WriteString("Configure", "Last Save Directory", folder);

  extension = LowerCased(extension);
  if (std::find_if(std::begin(filter_extensions), std::end(filter_extensions),
                   [&](const char* known) { return extension == known; }) ==
      std::end(filter_extensions)) {
    extension = filter_extensions[std::clamp(request.filter_index, 1, 6) - 1];
    name += "." + extension;
    // The dialog asked about the name as typed, not about this one.
    std::error_code error;
    if (std::filesystem::exists(folder + name, error) &&
        !the_ui().AskYesNo(name + " already exists.\nDo you want to replace it?"))
      return;
  }
  SaveTarget(folder + name, extension);
}

bool CvorbelDoc::SaveTargetAllowed(const std::string& extension) {
  const bool through_imaging = IsImagingExtension(extension);
  if (!through_imaging && extension != "tga" && extension != "pcx") return false;
  if (through_imaging && !wic_ready) {
    the_ui().MessageBox(imaging_refusal, message_icon::error);
    return false;
  }
  const uint64_t raster_block =
      uint64_t(std::max(target_width, 0)) * uint64_t(std::max(target_height, 0)) * 4 + 54;
  if (!through_imaging && raster_block > 100000000) {
    the_ui().MessageBox("Failed save ?", message_icon::none);
    return false;
  }
  return true;
}

void CvorbelDoc::SaveTarget(const std::string& path, const std::string& extension) {
  if (!SaveTargetAllowed(extension)) return;
  if (!WriteTargetFile(path, extension, target_pixels, target_width, target_height))
    the_ui().MessageBox(save_failed_message, message_icon::none);
}

bool CvorbelDoc::SaveTargetWithWic(const std::string& path, const std::string& extension) {
  return WritePictureWithImaging(path, extension, {target_pixels, target_width, target_height},
                                 nullptr, {});
}

bool WriteTargetPicture(const std::string& path, const std::string& extension, const bgra* pixels,
                        int width, int height, std::vector<uint8_t>* encoded,
                        const std::function<void()>& before_writing) {
  const picture_rows picture{pixels, width, height};
  if (IsImagingExtension(extension))
    return WritePictureWithImaging(path, extension, picture, encoded, before_writing);
  return WritePictureWithCRaster(path, extension == "tga" ? raster_format_tga : raster_format_pcx,
                                 picture, before_writing);
}

bool WriteTargetFile(const std::string& path, const std::string& extension, const bgra* pixels,
                     int width, int height) {
  staged_file file(path);
  return file.Ready() && WriteTargetPicture(file.WritePath(), extension, pixels, width, height) &&
         file.Commit();
}
