#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "codecs/imaging.h"

// What the per-format decoders and encoders of codecs/imaging share.
namespace imaging {

constexpr int max_frame_side = 20000;

// Bytes being decoded; a decoder opened from a file keeps the file mapped in
// memory through its owner.
struct byte_view {
  const uint8_t* data = nullptr;
  size_t size = 0;
};

// Keeps something alive for as long as a decoder lives (a mapped file).
class keep_alive {
 public:
  virtual ~keep_alive() = default;
};

class byte_decoder : public frame_decoder {
 public:
  explicit byte_decoder(byte_view bytes) : bytes(bytes) {}
  int Width() const override { return width; }
  int Height() const override { return height; }
  void Keep(std::unique_ptr<keep_alive> owner) { kept = std::move(owner); }

 protected:
  // Checks the frame size the header gave; error says what is wrong.
  bool SetSize(int64_t w, int64_t h);
  // Checks a caller's buffer for this frame; sets error when it does not fit.
  bool CheckDestination(const uint8_t* dest, size_t stride, size_t buffer_size);

  byte_view bytes;
  int width = 0;
  int height = 0;

 private:
  std::unique_ptr<keep_alive> kept;
};

// Each opener reads the header and leaves the pixels for CopyPixels; null with error
// set when the header is unusable.
std::unique_ptr<frame_decoder> OpenBmp(byte_view bytes, std::string& error);
std::unique_ptr<frame_decoder> OpenJpeg(byte_view bytes, std::string& error);
std::unique_ptr<frame_decoder> OpenPng(byte_view bytes, std::string& error);
std::unique_ptr<frame_decoder> OpenTiff(byte_view bytes, std::string& error);

// The openers' common frame: a decoder class with bool Open() that sets its error.
template <class decoder>
std::unique_ptr<frame_decoder> OpenWith(byte_view bytes, std::string& error) {
  auto opened = std::make_unique<decoder>(bytes);
  if (!opened->Open()) {
    error = opened->Error();
    return nullptr;
  }
  return opened;
}

// Checked pixel rows encoded into out, which comes empty; its memory is kept.
bool EncodeBmp(const pixel_rows& image, std::vector<uint8_t>& out, std::string& error);
bool EncodeJpeg(const pixel_rows& image, std::vector<uint8_t>& out, std::string& error);
bool EncodePng(const pixel_rows& image, std::vector<uint8_t>& out, std::string& error);
bool EncodeTiff(const pixel_rows& image, std::vector<uint8_t>& out, std::string& error);

}  // namespace imaging
