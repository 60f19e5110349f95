#include "ui/adapters/clipboard_wx.h"

#include <wx/bitmap.h>
#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/image.h>
#include <wx/imagpng.h>

#include <memory>

#include "engine/base/process_state.h"
#include "sources/pasted_bitmap.h"

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

// Images cross the clipboard as PNG: the data object needs wx's PNG handler.
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

// The bitmap format's bytes are fetched undecoded first, so that an image too large
// to paste is refused from its header before the toolkit decodes it.
clipboard_read ReadAnyImage(std::vector<uint8_t>& block) {
  wxCustomDataObject raw(wxDF_BITMAP);
  if (!wxTheClipboard->GetData(raw) || raw.GetSize() == 0) return clipboard_read::no_image;
  if (PngTooLargeToPaste(static_cast<const uint8_t*>(raw.GetData()), raw.GetSize()))
    return clipboard_read::too_large;
  NeedPngHandler();
  wxBitmapDataObject data;
  if (!data.SetData(raw.GetSize(), raw.GetData()) || !data.GetBitmap().IsOk())
    return clipboard_read::no_image;
  const wxImage image = data.GetBitmap().ConvertToImage();
  const int w = image.GetWidth(), h = image.GetHeight();
  if (w < 1 || h < 1) return clipboard_read::no_image;
  const unsigned char* rgb = image.GetData();
  const unsigned char* alpha = image.HasAlpha() ? image.GetAlpha() : nullptr;
  std::vector<uint8_t> pixels(size_t(w) * size_t(h) * 4);
  for (size_t i = 0; i < size_t(w) * size_t(h); ++i) {
    pixels[4 * i + 0] = rgb[3 * i + 2];
    pixels[4 * i + 1] = rgb[3 * i + 1];
    pixels[4 * i + 2] = rgb[3 * i + 0];
    pixels[4 * i + 3] = alpha ? alpha[i] : 255;
  }
  block = BitmapBlockFromPixels(w, h, pixels.data());
  return clipboard_read::image;
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
