#pragma once
#include <cstdint>
#include <vector>

struct bgra;

// too_large: the image declares more pixels than a source may hold, and was not decoded.
enum class clipboard_read { image, no_image, not_opened, too_large };

// True when the clipboard offers an image that a paste can take.
bool ClipboardHasImage();
// The clipboard's image as a device-independent bitmap block: a bitmap file's bytes
// with the file header dropped, or else the image file it offers as PNG, decoded by
// the program's own reader into 32-bit top-down rows.
clipboard_read ReadClipboardBitmap(std::vector<uint8_t>& block);
// Puts w x h packed pixels on the clipboard as an opaque image. The clipboard keeps
// what it held when the image cannot be made; false when it cannot be opened.
bool PutImageOnClipboard(const bgra* pixels, int w, int h);
// Hands what the program put on the clipboard to a clipboard manager, so that it
// outlives the program.
void FlushClipboard();
