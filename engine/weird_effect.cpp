#include <algorithm>
#include <cmath>
#include <memory>
#include <new>

#include "engine/articulate_effects.h"
#include "engine/effect_progress.h"
#include "engine/process_state.h"
#include "engine/row_parallel.h"

namespace articulate_detail {
const double weird_kernel[16] = {0.014, 0.028, 0.042, 0.056, 0.069, 0.0833, 0.097, 0.111,
                                 0.111, 0.097, 0.0833, 0.069, 0.056, 0.042, 0.028, 0.014};
}

namespace {

using articulate_detail::weird_kernel;

constexpr int frame = 8;

// Smooths rows [first, end) of from into to, for the outputs of one pass: each
// output byte is the sum over i = 0..15 of weight i times the input 16 - i places
// before it (in units of step bytes), added in that order. The sums of one row
// run side by side, so the loop over a row vectorises and the order stays.
void SmoothLines(const uint8_t* from, uint8_t* to, int count, int step, double* sums) {
  std::fill(sums, sums + count, 0.0);
  for (int i = 0; i < 16; ++i) {
    const double weight = weird_kernel[i];
    const uint8_t* in = from + ptrdiff_t(i) * step;
    for (int n = 0; n < count; ++n) sums[n] += weight * in[n];
  }
  for (int n = 0; n < count; ++n) to[n] = uint8_t(std::clamp(std::trunc(sums[n]), 0.0, 255.0));
}

// Runs rows [0, rows) in slices, painting progress from base to base + 33.
template <class Rows>
void SlicesWithProgress(int rows, int base, effect_progress& progress, const Rows& body) {
  const int slice = std::max(1, (rows + 15) / 16);
  for (int first = 0; first < rows; first += slice) {
    const int end = std::min(rows, first + slice);
    ParallelRows(end - first, [&](int a, int b) { body(first + a, first + b); });
    progress.Working(base + (end - 1) * 33 / rows);
  }
}

}  // namespace

bool Weird(bgra* pixels, int w, int h, int amplitude, int frequency) {
  if (w < 2 * frame + 1 || h < 2 * frame + 1) return true;
  if (w > max_target_width) return false;
  const size_t row_bytes = size_t(w) * 4;
  std::unique_ptr<bgra[]> rowwise, smooth, moved;
  try {
    rowwise.reset(new bgra[size_t(w) * h]());
    smooth.reset(new bgra[size_t(w) * h]());
    moved.reset(new bgra[size_t(w) * h]());
  } catch (const std::bad_alloc&) {
    return false;
  }
  effect_progress progress;
  auto bytes = [](bgra* p) { return reinterpret_cast<uint8_t*>(p); };

  // Rows: output column x - 8 from input columns x - 16 .. x - 1, x = 16 .. w - 1.
  SlicesWithProgress(h, 0, progress, [&](int first, int end) {
    double sums[max_target_width * 4];
    for (int r = first; r < end; ++r) {
      const uint8_t* in = bytes(pixels) + r * row_bytes;
      SmoothLines(in, bytes(rowwise.get()) + r * row_bytes + frame * 4, (w - 16) * 4, 4, sums);
    }
  });
  // Columns 8 .. w - 9: output row y - 8 from rows y - 16 .. y - 1, y = 16 .. h - 1.
  SlicesWithProgress(h - 16, 33, progress, [&](int first, int end) {
    double sums[max_target_width * 4];
    for (int y = first + 16; y < end + 16; ++y) {
      const uint8_t* in = bytes(rowwise.get()) + (y - 16) * row_bytes + frame * 4;
      SmoothLines(in, bytes(smooth.get()) + (y - 8) * row_bytes + frame * 4, (w - 16) * 4, int(row_bytes), sums);
    }
  });

  // The displacements depend on a colour sum only: one table each.
  const double f = frequency / 400.0;
  int down[511], across[256];
  for (int v = 0; v < 511; ++v) down[v] = int(std::trunc(std::sin(v * f) * amplitude));
  for (int v = 0; v < 256; ++v) across[v] = int(std::trunc(std::sin(v * f) * amplitude));
  SlicesWithProgress(h - 2 * frame, 67, progress, [&](int first, int end) {
    for (int y = first + frame; y < end + frame; ++y)
      for (int x = frame; x < w - frame; ++x) {
        const bgra q = smooth[size_t(y) * w + x];
        const int ty = y + down[q.red + q.blue], tx = x + across[q.green];
        moved[size_t(y) * w + x] = tx >= 0 && tx < w && ty >= 0 && ty < h ? pixels[size_t(ty) * w + tx] : bgra{};
      }
  });

  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const bool inner = y >= frame && y < h - frame && x >= frame && x < w - frame;
      const bgra m = inner ? moved[size_t(y) * w + x] : bgra{};
      bgra& p = pixels[size_t(y) * w + x];
      p.blue = m.blue, p.green = m.green, p.red = m.red;
    }
  progress.Done();
  return true;
}
