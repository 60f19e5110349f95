#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>
#include <new>
#include <vector>

#include "engine/effects/articulate_effects.h"
#include "engine/effects/effect_progress.h"
#include "engine/base/process_state.h"
#include "engine/base/random_draws.h"
#include "engine/base/row_parallel.h"
#include "engine/effects/stroke_canvas.h"
#include "engine/effects/stroke_cover.h"

// Pencil's runs read only the colours, so they are walked in parallel. The strokes
// overlap and must be drawn in order; the picture is cut into fixed tiles, and each
// tile draws, in order, the strokes that reach it. Tiles do not depend on the
// number of threads, so neither does the picture. Cairo's anti-aliasing within a few
// pixels of a surface's edge differs slightly from the same strokes on a larger
// surface, so each tile is drawn on a surface a margin larger and only its inner
// pixels are kept: they come out as on one surface for the whole picture.

namespace articulate_detail {

int PencilCode(uint8_t blue, uint8_t green, uint8_t red) {
  const uint8_t sum = uint8_t(blue + green + red);
  int c = (green & 0xC0) == 0x80 ? 1 : 0;
  if ((red & 0xC0) == 0x40) c = 2;
  if ((sum & 0xC0) == 0xC0) c = 3;
  if ((green & 0x30) == 0x20) c += 4;
  if ((red & 0x30) == 0x10) c += 8;
  if ((sum & 0x30) == 0x30) c += 12;
  return c;
}

offset PencilStep(int code) {
  static constexpr offset pencil_step_table[16] = {{3, 2},  {1, 2},   {2, 2},   {2, 1},  {2, 3},  {2, -1},
                                                   {2, -2}, {1, -2},  {3, -2},  {-1, -2}, {-2, -2}, {-2, -1},
                                                   {-2, 3}, {-2, 1},  {-2, 2},  {-1, 2}};
  if (code < 16) return pencil_step_table[code];
  return {code & 1, (code >> 1) & 1};
}

pencil_run WalkPencilRun(const bgra* colours, int w, int h, int x0, int y0, int tolerance, int longest) {
  const bgra start = colours[size_t(h - 1 - y0) * w + x0];
  pencil_run run{PencilStep(PencilCode(start.blue, start.green, start.red)), 0, 0, 0, 0};
  // A run that does not move would walk on the spot to its end and draw a line of no length.
  if (longest <= 0 || (run.step.dx == 0 && run.step.dy == 0)) return run;
  int x = x0, y = y0, k = 0;
  int red = 0, green = 0, blue = 0;
  for (;;) {
    x += run.step.dx, y += run.step.dy;
    if (x < 0 || x >= w || y < 0 || y >= h) break;
    const bgra p = colours[size_t(h - 1 - y) * w + x];
    if (std::abs(p.red - start.red) > tolerance || std::abs(p.green - start.green) > tolerance ||
        std::abs(p.blue - start.blue) > tolerance)
      break;
    red += p.red, green += p.green, blue += p.blue;
    if (++k == longest) break;
  }
  run.steps = k;
  if (k > 0) run.red = uint8_t(red / k), run.green = uint8_t(green / k), run.blue = uint8_t(blue / k);
  return run;
}

}  // namespace articulate_detail

namespace {

constexpr int tile_size = tile_cover::most;
constexpr int tile_margin = 16;

struct pencil_stroke {
  int16_t x0;
  int16_t y0;  // walk coordinates: y counts from the bottom row
  int8_t dx;
  int8_t dy;
  int16_t steps;  // 0: nothing drawn
  uint8_t red;
  uint8_t green;
  uint8_t blue;
};

stroke_line LineOf(const pencil_stroke& s, int h) {
  const int k = s.steps;
  return {double(s.x0), double(h - 1 - s.y0), double(s.x0 + k * s.dx), double(h - 1 - (s.y0 + k * s.dy)),
          std::min(10.0, std::max(1.0, k / 5.0))};
}

// The tiles whose surfaces (tile and margin) a stroke can touch: its end points
// widened by half its width, a pixel and the margin.
struct tile_span {
  int first_column, last_column, first_row, last_row;
};

tile_span TilesOf(const stroke_line& l, int tiles_across, int tiles_down) {
  const double reach = l.width / 2 + 1 + tile_margin;
  auto tile = [](double v, int count) { return std::clamp(int(std::floor(v / tile_size)), 0, count - 1); };
  return {tile(std::min(l.x0, l.x1) - reach, tiles_across), tile(std::max(l.x0, l.x1) + reach, tiles_across),
          tile(std::min(l.y0, l.y1) - reach, tiles_down), tile(std::max(l.y0, l.y1) + reach, tiles_down)};
}

// Draws the tile at (left, top) of start into result: over the tile and its
// margin, in order, the strokes of mine (those that reach it) that no later stroke
// covers entirely within the tile. False when Cairo or memory failed.
bool DrawTile(const bgra* start, bgra* result, int w, int h, int left, int top,
              const std::vector<pencil_stroke>& mine) {
  const int tw = std::min(tile_size, w - left), th = std::min(tile_size, h - top);
  const int x0 = std::max(0, left - tile_margin), x1 = std::min(w, left + tw + tile_margin);
  const int y0 = std::max(0, top - tile_margin), y1 = std::min(h, top + th + tile_margin);
  const int lw = x1 - x0, lh = y1 - y0;
  try {
    std::vector<bgra> local(size_t(lw) * lh);
    for (int y = y0; y < y1; ++y) std::copy_n(start + size_t(y) * w + x0, lw, &local[size_t(y - y0) * lw]);
    cairo_stroke_canvas tile(reinterpret_cast<uint8_t*>(local.data()), lw * 4, x0, y0, lw, lh);
    if (!tile.Good()) return false;
    std::vector<uint8_t> drawn(mine.size(), 1);
    tile_cover cover(left, top, tw, th);
    for (size_t j = mine.size(); j-- > 0;) {
      if (cover.Full()) {
        std::fill_n(drawn.begin(), j + 1, 0);
        break;
      }
      const stroke_line l = LineOf(mine[j], h);
      if (cover.Hidden(l))
        drawn[j] = 0;
      else
        cover.Add(l);
    }
    for (size_t j = 0; j < mine.size(); ++j) {
      if (!drawn[j]) continue;
      const pencil_stroke& s = mine[j];
      const stroke_line l = LineOf(s, h);
      tile.Stroke(l.x0, l.y0, l.x1, l.y1, l.width, s.red, s.green, s.blue);
    }
    tile.Finish();
    if (!tile.Good()) return false;
    for (int y = top; y < top + th; ++y)
      std::copy_n(&local[size_t(y - y0) * lw + (left - x0)], tw, result + size_t(y) * w + left);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

}  // namespace

bool Pencil(bgra* out, const bgra* colours, const bgra* background, int w, int h, int level) {
  if (w <= 0 || h <= 0) return true;
  if (w > max_target_width || h > max_target_height) return false;  // positions and steps are kept in 16 bits
  const size_t count = size_t(w) * h;
  std::unique_ptr<bgra[]> canvas, result;  // the background as drawn on, and the drawing
  std::vector<pencil_stroke> strokes;
  try {
    canvas.reset(new bgra[count]);
    result.reset(new bgra[count]);
    strokes.resize(count);
  } catch (const std::bad_alloc&) {
    return false;
  }
  effect_progress progress;
  ParallelRows(h, [&](int first, int end) {
    for (size_t i = size_t(first) * w; i < size_t(end) * w; ++i) canvas[i] = {background[i].blue,
                                                                              background[i].green,
                                                                              background[i].red, 255};
  });

  random_draws xs(2537, 0, w - 1), ys(1701, 0, h - 1);
  for (pencil_stroke& s : strokes) {
    s.x0 = int16_t(xs.Next());
    s.y0 = int16_t(ys.Next());
  }
  const int tolerance = level * 5;
  const int longest = int(count / 500);
  constexpr int slices = 10;
  for (int slice = 0; slice < slices; ++slice) {
    const size_t from = count * slice / slices, to = count * (slice + 1) / slices;
    ParallelRows(int((to - from + 4095) / 4096), [&](int first, int end) {
      for (size_t i = from + size_t(first) * 4096; i < std::min(to, from + size_t(end) * 4096); ++i) {
        pencil_stroke& s = strokes[i];
        const articulate_detail::pencil_run run =
            articulate_detail::WalkPencilRun(colours, w, h, s.x0, s.y0, tolerance, longest);
        s.dx = int8_t(run.step.dx), s.dy = int8_t(run.step.dy), s.steps = int16_t(run.steps);
        s.red = run.red, s.green = run.green, s.blue = run.blue;
      }
    });
    progress.Working(slice * 50 / slices);
  }

  const int tiles_across = (w + tile_size - 1) / tile_size, tiles_down = (h + tile_size - 1) / tile_size;
  // Each tile gets its own copies of its strokes, in order, to read them straight through.
  std::vector<std::vector<pencil_stroke>> by_tile(size_t(tiles_across) * tiles_down);
  try {
    for (size_t i = 0; i < count; ++i) {
      if (strokes[i].steps == 0) continue;
      const tile_span t = TilesOf(LineOf(strokes[i], h), tiles_across, tiles_down);
      for (int r = t.first_row; r <= t.last_row; ++r)
        for (int c = t.first_column; c <= t.last_column; ++c) by_tile[size_t(r) * tiles_across + c].push_back(strokes[i]);
    }
  } catch (const std::bad_alloc&) {
    return false;
  }

  std::atomic<bool> failed{false};
  const int tiles = tiles_across * tiles_down, groups = std::min(tiles, 4);
  for (int group = 0; group < groups; ++group) {
    const int from = tiles * group / groups, to = tiles * (group + 1) / groups;
    ParallelRows(to - from, [&](int first, int end) {
      for (int t = from + first; t < from + end; ++t)
        if (!DrawTile(canvas.get(), result.get(), w, h, t % tiles_across * tile_size, t / tiles_across * tile_size,
                      by_tile[t]))
          failed = true;
    });
    progress.Working(50 + (group + 1) * 50 / groups);
  }
  progress.Done();
  if (failed) return false;
  std::copy_n(result.get(), count, out);
  return true;
}
