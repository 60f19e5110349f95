#pragma once
#include <cstdint>
#include <vector>

#include "engine/base/image_record.h"
#include "engine/base/random_draws.h"

// Shapes of a software-generated source.
enum software_shape_code : int {
  shape_null = -1,
  shape_diamonds = 0,
  shape_circles = 1,
  shape_squares = 2,
  shape_jiggles = 3,
  shape_blank = 4,
};

// The tile mask of size index 0..3: tiles of 8, 16, 32 or 64 pixels.
inline int TileMask(int size_index) { return (8 << size_index) - 1; }

// Where the diamonds' mirrored terms are counted from: the canvas's right and bottom
// edges (the generated source) or the far side of each tile (the dialog's preview).
enum class diamond_phase { canvas_edges, inside_tile };

// Whether pixel (x, y) of a w x h canvas lies on the pattern of a tiled shape.
bool TileHit(int shape, int tile_mask, int x, int y, int w, int h, diamond_phase phase);

// The jiggles: random walks from fixed seeds over a w x h canvas, each visited pixel
// given to visit(x, y) after its move (the starting points never). Returns the number
// of walks.
template <class Visit>
int WalkJiggles(int w, int h, int size_index, Visit&& visit) {
  const int n = size_index + 1;
  const int rounds = (h / 32) * n;
  const int walks_per_round = (w / 32) * n;
  if (rounds < 1 || walks_per_round < 1) return 0;
  random_draws xs(2537, 0, w - 1), ys(1701, 0, h - 1), directions(1709, 0, 255);
  static constexpr int step_x[8] = {-1, 0, 1, -1, 1, -1, 0, 1};
  static constexpr int step_y[8] = {-1, -1, -1, 0, 0, 1, 1, 1};
  for (int round = 0; round < rounds; ++round) {
    for (int walk = 0; walk < walks_per_round; ++walk) {
      int x = xs.Next();
      int y = ys.Next();
      for (int step = 0; step < 8 * n; ++step) {
        const int d = directions.Next() % 8;
        x += step_x[d];
        y += step_y[d];
        if (x < 0 || x >= w || y < 0 || y >= h) break;
        visit(x, y);
      }
    }
  }
  return rounds * walks_per_round;
}

// What the generator draws: a shape code, a size index 0..3, the pattern colour as
// blue, green, red and the base colour for the blank shape.
struct pattern_choice {
  int shape = shape_diamonds;
  int size_index = 0;
  uint8_t colour[3] = {255, 255, 255};
  uint8_t base[3] = {0, 0, 0};
};

// Draws the pattern into a fresh w x h record: pattern pixels in the colour and
// covered, blank pixels in the base colour and covered, the rest zero and uncovered.
// False, with record unchanged, when the record cannot be made.
bool GenerateSoftwarePattern(const pattern_choice& choice, int w, int h, image_record& record);

// The dialog's preview of a w x h window, as packed 0x00RRGGBB pixels: the base
// colour with the jiggles or the tiles (mirrored inside each tile) over it; blank and
// null show the base colour alone.
std::vector<uint32_t> RenderPatternPreview(const pattern_choice& choice, int w, int h);
