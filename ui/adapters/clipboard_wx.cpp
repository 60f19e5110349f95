#include "ui/adapters/clipboard_wx.h"

#include <wx/bitmap.h>
#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/image.h>
#include <wx/imagpng.h>

#include <memory>

#include "engine/base/process_state.h"
#include "sources/pasted_bitmap.h"
#include "sources/pasted_image_file.h"

namespace {

const wxDataFormat& BitmapFileFormat() {
  static const wxDataFormat format("image/bmp");
  return format;
}

// Opens the clipboard for as long as it lives.
class open_clipboard {
 public:
  open_clipboard() : opened(wxTheClipboard->Open()) {}
  ~open_clipboard() {
    if (opened) wxTheClipboard->Close();
  }
  open_clipboard(const open_clipboard&) = delete;
  open_clipboard& operator=(const open_clipboard&) = delete;
  const bool opened;
};

// The target leaves as PNG: the data object needs wx's PNG handler to encode it.
void NeedPngHandler() {
  if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
}

bool ReadBitmapFile(std::vector<uint8_t>& block) {
  wxCustomDataObject data(BitmapFileFormat());
  if (!wxTheClipboard->GetData(data) || data.GetSize() == 0) return false;
  const auto* bytes = static_cast<const uint8_t*>(data.GetData());
  block = BitmapBlockFromFile(bytes, data.GetSize());
  // Bytes without a file header are taken as the bitmap block itself.
  if (block.empty()) block.assign(bytes, bytes + data.GetSize());
  return true;
}

// The image file's bytes are fetched undecoded and read by the program's own reader,
// which checks them as it opens files: the toolkit's decoder would spend seconds on a
// few bytes that declare more data than they hold.
clipboard_read ReadAnyImage(std::vector<uint8_t>& block) {
  wxCustomDataObject raw(wxDF_BITMAP);
  if (!wxTheClipboard->GetData(raw) || raw.GetSize() == 0) return clipboard_read::no_image;
  switch (BitmapBlockFromImageFile(static_cast<const uint8_t*>(raw.GetData()), raw.GetSize(), block)) {
    case pasted_image::done:
      return clipboard_read::image;
    case pasted_image::too_large:
      return clipboard_read::too_large;
    case pasted_image::not_an_image:
      break;
  }
  return clipboard_read::no_image;
}

}  // namespace

bool ClipboardHasImage() {
  open_clipboard clipboard;
  return clipboard.opened &&
         (wxTheClipboard->IsSupported(BitmapFileFormat()) || wxTheClipboard->IsSupported(wxDF_BITMAP));
}

clipboard_read ReadClipboardBitmap(std::vector<uint8_t>& block) {
  open_clipboard clipboard;
  if (!clipboard.opened) return clipboard_read::not_opened;
  if (wxTheClipboard->IsSupported(BitmapFileFormat()) && ReadBitmapFile(block))
    return clipboard_read::image;
  if (wxTheClipboard->IsSupported(wxDF_BITMAP)) return ReadAnyImage(block);
  return clipboard_read::no_image;
}

bool PutImageOnClipboard(const bgra* pixels, int w, int h) {
  open_clipboard clipboard;
  if (!clipboard.opened) return false;
  NeedPngHandler();
  wxImage image(w, h, false);
  if (!image.IsOk()) return false;
  unsigned char* rgb = image.GetData();
  for (size_t i = 0; i < size_t(w) * size_t(h); ++i) {
    rgb[3 * i + 0] = pixels[i].red;
    rgb[3 * i + 1] = pixels[i].green;
    rgb[3 * i + 2] = pixels[i].blue;
  }
  wxBitmap bitmap(image, 24);
  if (!bitmap.IsOk()) return false;
  return wxTheClipboard->SetData(new wxBitmapDataObject(bitmap));
}

void FlushClipboard() { wxTheClipboard->Flush(); }
