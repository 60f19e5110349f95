#pragma once
#include <cstdint>

// A straight stroke with flat ends: from (x0, y0) to (x1, y1), width wide.
struct stroke_line {
  double x0, y0, x1, y1, width;
};

// Which pixels of a tile (at most 128 x 128) later strokes cover whole. A pixel
// covered whole by a stroke takes the stroke's colour exactly, whatever was under
// it; so an earlier stroke whose every touched pixel is covered whole later
// changes nothing and need not be drawn. Both tests are conservative: "touched"
// reaches a pixel beyond the stroke, "whole" keeps a margin inside it.
class tile_cover {
 public:
  static constexpr int most = 128;

  tile_cover(int left, int top, int w, int h);

  // True when every pixel of the tile that the stroke can touch is covered whole.
  bool Hidden(const stroke_line& l) const;
  // Marks the pixels of the tile that the stroke covers whole.
  void Add(const stroke_line& l);
  // True when the whole tile is covered.
  bool Full() const { return full_rows == h; }

 private:
  uint64_t bits[most][2] = {};
  int left;
  int top;
  int w;
  int h;
  int full_rows = 0;
};
