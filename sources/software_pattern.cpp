#include "sources/software_pattern.h"

#include <cmath>
#include <cstring>

namespace {

int RootDistance(int u, int v) { return int(std::sqrt(double(u * u + v * v))); }

// Hits of one tile, indexed (y & mask) * (mask + 1) + (x & mask): every distance the
// shapes use depends on the pixel's place in its tile alone, given the canvas size.
std::vector<uint8_t> TileTable(int shape, int mask, int w, int h, diamond_phase phase) {
  const int side = mask + 1;
  std::vector<uint8_t> table(size_t(side) * side);
  for (int a = 0; a < side; ++a)
    for (int c = 0; c < side; ++c) table[size_t(a) * side + c] = TileHit(shape, mask, c, a, w, h, phase);
  return table;
}

uint32_t Packed(const uint8_t bgr[3]) { return uint32_t(bgr[2]) << 16 | uint32_t(bgr[1]) << 8 | bgr[0]; }

}  // namespace

bool TileHit(int shape, int p, int x, int y, int w, int h, diamond_phase phase) {
  const int a = y & p;
  const int c = x & p;
  int d[4] = {0, 0, 0, 0};
  switch (shape) {
    case shape_diamonds: {
      const int right = phase == diamond_phase::canvas_edges ? (w - x) & p : p - c;
      const int below = phase == diamond_phase::canvas_edges ? (h - y) & p : p - a;
      d[0] = c + a;
      d[1] = a + right;
      d[2] = c + below;
      d[3] = below + right;
      break;
    }
    case shape_circles:
      d[0] = RootDistance(a, c);
      d[1] = RootDistance(a, p - c);
      d[2] = RootDistance(p - a, c);
      d[3] = RootDistance(p - a, p - c);
      break;
    case shape_squares:
      d[0] = c;
      d[1] = a;
      break;
    default:
      break;
  }
  const int upper = (p + 1) / 2;
  const int lower = (p + 1) / 4;
  for (int v : d)
    if (lower < v && v < upper) return true;
  return false;
}

bool GenerateSoftwarePattern(const pattern_choice& choice, int w, int h, image_record& record) {
  image_record made;
  if (!made.Create(w, h)) return false;
  // The fresh record's mask is reused: nothing is covered until drawn.
  std::memset(made.mask, 0, size_t(made.mask_size));
  uint8_t* pixels = made.Pixels();
  uint8_t* mask = made.mask;
  const size_t stride = size_t(w) * 4;

  if (choice.shape == shape_blank) {
    for (size_t i = 0; i < size_t(w) * size_t(h); ++i) {
      std::memcpy(pixels + 4 * i, choice.base, 3);
      pixels[4 * i + 3] = 255;
    }
    std::memset(mask, 1, size_t(made.mask_size));
  } else if (choice.shape == shape_jiggles) {
    WalkJiggles(w, h, choice.size_index, [&](int x, int y) {
      uint8_t* p = pixels + stride * size_t(y) + 4 * size_t(x);
      std::memcpy(p, choice.colour, 3);
      p[3] = 255;
      mask[size_t(y) * w + x] = 1;
    });
  } else if (choice.shape != shape_null) {
    const int tile = TileMask(choice.size_index);
    const int side = tile + 1;
    const std::vector<uint8_t> table = TileTable(choice.shape, tile, w, h, diamond_phase::canvas_edges);
    for (int y = 0; y < h; ++y) {
      const uint8_t* hits = table.data() + size_t(y & tile) * side;
      uint8_t* row = pixels + stride * size_t(y);
      uint8_t* row_mask = mask + size_t(y) * w;
      for (int x = 0; x < w; ++x) {
        if (!hits[x & tile]) continue;
        std::memcpy(row + 4 * x, choice.colour, 3);
        row[4 * x + 3] = 255;
        row_mask[x] = 1;
      }
    }
  }
  record.Swap(made);
  return true;
}

std::vector<uint32_t> RenderPatternPreview(const pattern_choice& choice, int w, int h) {
  if (w < 1 || h < 1) return {};
  std::vector<uint32_t> raster(size_t(w) * size_t(h), Packed(choice.base));
  const uint32_t colour = Packed(choice.colour);
  if (choice.shape == shape_jiggles) {
    WalkJiggles(w, h, choice.size_index, [&](int x, int y) { raster[size_t(y) * w + x] = colour; });
  } else if (choice.shape >= shape_diamonds && choice.shape <= shape_squares) {
    const int tile = TileMask(choice.size_index);
    const std::vector<uint8_t> table = TileTable(choice.shape, tile, w, h, diamond_phase::inside_tile);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (table[size_t(y & tile) * (tile + 1) + (x & tile)]) raster[size_t(y) * w + x] = colour;
  }
  return raster;
}
