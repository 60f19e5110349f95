#include "ui/view/background_bitmaps.h"

#include <cmath>
#include <numbers>

#include <wx/image.h>

namespace {

constexpr int tile_side = 512;

struct tint {
  double red, green, blue;
};

// A quiet woven texture that repeats seamlessly every 512 pixels (every period
// divides the tile), pale enough for black prompt text to stay readable.
wxBitmap WovenTile(tint light, tint dark) {
  wxImage image(tile_side, tile_side);
  unsigned char* out = image.GetData();
  const double turn = 2.0 * std::numbers::pi;
  for (int y = 0; y < tile_side; ++y) {
    for (int x = 0; x < tile_side; ++x) {
      double weave = std::sin(turn * (x + y) / 64.0) * std::cos(turn * (x - y) / 128.0);
      double swell = std::cos(turn * x / 256.0) * std::cos(turn * y / 256.0);
      double t = 0.5 + 0.3 * weave + 0.2 * swell;  // 0..1
      *out++ = static_cast<unsigned char>(light.red + (dark.red - light.red) * t);
      *out++ = static_cast<unsigned char>(light.green + (dark.green - light.green) * t);
      *out++ = static_cast<unsigned char>(light.blue + (dark.blue - light.blue) * t);
    }
  }
  return wxBitmap(image, 24);
}

}  // namespace

const wxBitmap& NoSourceBackground() {
  static const wxBitmap tile = WovenTile({236, 241, 248}, {196, 210, 232});
  return tile;
}

const wxBitmap& OneSourceBackground() {
  static const wxBitmap tile = WovenTile({240, 246, 232}, {200, 226, 190});
  return tile;
}
