#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>

#include "engine/combine/colour_adjust.h"
#include "engine/combine/colour_stores.h"
#include "engine/combine/convolution.h"
#include "engine/combine/covered_runs.h"
#include "engine/base/crt_rand.h"
#include "engine/effects/highlighting.h"
#include "engine/combine/pixel_operators.h"
#include "engine/base/process_state.h"
#include "engine/warp/quad_transform.h"
#include "engine/base/row_parallel.h"
#include "engine/base/view_core.h"
#include "platform/ui_port.h"

namespace {

constexpr uint32_t progress_green = 0x00FF00;
constexpr uint32_t progress_grey = 0x808080;

// What a row of the full pass does after its pixels are combined and adjusted: keep
// them in target_work for the convolution that follows; put them in target_pixels
// alone (nothing reads target_work afterwards); keep them in both, for the warp;
// keep them in target_work and highlight them into target_pixels.
enum class row_finish { none, present, copy, highlight };

struct pass_context {
  const source_layer* layer1;
  const source_layer* layer2;
  int w;
  colour_adjust adjust;
  row_finish finish;
  highlighter highlight;
  uint32_t rand_start;
  bool convolve;
  target_convolution convolution;
};

// Static: the context holds the highlighting's column table, and the pass allocates nothing.
pass_context context;
// Per row of target_work: combined. Per convolution window (by its top row): taken
// by a band. Both are set during a pass by whichever band gets there.
std::atomic<bool> row_ready[max_target_height];
std::atomic<bool> window_taken[max_target_height];

// The convolution windows of the rows [first, end) just combined, while those rows
// are still in the cache. A window across the edge of two bands is run by the band
// that finds the rows of both ready; the flags are sequentially consistent, so of two
// bands finishing together at least one sees the other's rows.
void ConvolveBand(const pass_context& ctx, int first, int end) {
  const target_convolution& k = ctx.convolution;
  const int n = k.Size(), windows = k.Windows();
  const int inside = std::min(end - n + 1, windows);
  if (first < inside) k.Rows(first, inside);
  for (int r = first; r < end; ++r) row_ready[r].store(true);
  const auto edge = [&](int from, int to) {
    for (int t = std::max(from, 0); t < std::min(to, windows); ++t) {
      bool ready = true;
      for (int i = 0; i < n; ++i) ready = ready && row_ready[t + i].load();
      if (ready && !window_taken[t].exchange(true)) k.Rows(t, t + 1);
    }
  };
  edge(first - n + 1, first);
  edge(std::max(first, end - n + 1), end);
}

// Whether both layers cover all n pixels from these mask bytes on.
bool BothCover(const uint8_t* m1, const uint8_t* m2, int n) {
  constexpr uint64_t ones = 0x0101010101010101u;
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t x, y;
    std::memcpy(&x, m1 + i, 8);
    std::memcpy(&y, m2 + i, 8);
    if ((x != ones) | (y != ones)) return false;
  }
  for (; i < n; ++i)
    if ((m1[i] != 1) | (m2[i] != 1)) return false;
  return true;
}

// Pixels looked at together for coverage: long enough for the vector forms, short
// enough that a layer's edge rarely spoils a run.
constexpr int run_pixels = 64;

// Row r of both layers combined by op into combined, three bytes a pixel. With
// only_ones, a coverage byte other than 1 counts as none.
template <bool only_ones, class Op>
void CombineRow(const Op& op, const source_layer& layer1, const source_layer& layer2, int r, int w,
                uint8_t* combined) {
  const uint8_t* a = layer1.Pixel(r, 0);
  const uint8_t* b = layer2.Pixel(r, 0);
  // Most rows are covered by both from end to end.
  if (layer1.RowCovered(r, w) && layer2.RowCovered(r, w)) return CoveredRun(op, a, b, combined, w);
  const uint8_t* m1 = layer1.MaskRow(r);
  const uint8_t* m2 = layer2.MaskRow(r);
  for (int c = 0; c < w; c += run_pixels) {
    const int n = std::min(run_pixels, w - c);
    const size_t at = size_t(c) * 3;
    // The vector form is cheaper over the whole run, with the pixels it got wrong
    // redone one at a time, than the operator's rule pixel by pixel.
    CoveredRun(op, a + at, b + at, combined + at, n);
    if (BothCover(m1 + c, m2 + c, n)) continue;
    for (int i = c; i < c + n; ++i) {
      const size_t k = size_t(i) * 3;
      const uint8_t in1 = only_ones ? m1[i] == 1 : m1[i];
      const uint8_t in2 = only_ones ? m2[i] == 1 : m2[i];
      if (in1 == 1 && in2 == 1) continue;
      op(in1, in2, pixel3{a[k], a[k + 1], a[k + 2]}, pixel3{b[k], b[k + 1], b[k + 2]}, &combined[k],
         &combined[k + 1], &combined[k + 2]);
    }
  }
}

template <class Op>
void CombineRows(const pass_context& ctx, int first, int end) {
  const Op op;
  // Three bytes a pixel, with room for the four-byte reads of the last one.
  uint8_t combined[max_target_width * 3 + 4];
  for (int r = first; r < end; ++r) {
    CombineRow<false>(op, *ctx.layer1, *ctx.layer2, r, ctx.w, combined);
    ctx.adjust.ApplyRow(combined, ctx.w);
    bgra* work = target_work + size_t(r) * ctx.w;
    if (ctx.finish == row_finish::present) {
      StoreColours(combined, target_pixels + size_t(r) * ctx.w, ctx.w);
    } else if (ctx.finish == row_finish::copy) {
      StoreColours(combined, work, target_pixels + size_t(r) * ctx.w, ctx.w);
    } else {
      StoreColours(combined, work, ctx.w);
      if (ctx.finish == row_finish::highlight) ctx.highlight.Rows(r, r + 1, ctx.rand_start);
    }
  }
  if (ctx.convolve) ConvolveBand(ctx, first, end);
}

// Runs the rows of the pass on the row pool, painting the progress on this thread
// whenever the percentage shown changes; the workers never wait for the painting.
template <class Rows>
void RowsWithProgress(int h, const Rows& rows) {
  int shown = -1;
  ParallelRows(h, rows, [&](int finished) {
    const int percent = (finished - 1) * 100 / h;
    if (percent > shown) {
      the_ui().ShowStatusProgress(progress_green, percent);
      shown = percent;
    }
  });
  the_ui().ShowStatusProgress(progress_grey, 100);
}

// The quick cross-fade while the rotation wheel turns. Where both layers cover it is
// "Average" at the same bias; elsewhere any coverage byte other than 1 counts as none.
void CrossFade(const source_layer& layer1, const source_layer& layer2, int w, int h) {
  ParallelRows(h, [&](int first, int end) {
    const average blend;
    uint8_t faded[max_target_width * 3 + 4];
    for (int r = first; r < end; ++r) {
      CombineRow<true>(blend, layer1, layer2, r, w, faded);
      StoreColours(faded, target_pixels + size_t(r) * w, w);
    }
  });
}

}  // namespace

void CvorbelViewCore::CombineTarget() {
  if (source_count < 2) return;
  // A code outside the operators has nothing to combine with.
  if (method_code < 0 || method_code >= operator_count) return;
  const int w = std::clamp(target_rect.Width(), 0, max_target_width);
  const int h = std::clamp(target_rect.Height(), 0, max_target_height);
  target_height = h;
  target_width = w;

  if (fast_preview == 1) {
    CrossFade(layers[0], layers[1], w, h);
  } else {
    pass_context& ctx = context;
    ctx.layer1 = &layers[0];
    ctx.layer2 = &layers[1];
    ctx.w = w;
    ctx.adjust.Prepare(contrast_mode, contrast_bias, channel_adjust);
    const bool plain_finish = effect_code == 0 || effect_code == 7;
    ctx.finish = plain_finish && !perspective_on ? row_finish::present
                 : plain_finish                  ? row_finish::copy
                 : effect_code == 6              ? row_finish::highlight
                                                 : row_finish::none;
    // The copy and the highlighting rewrite every pixel's colour, so a kernel left
    // over from an earlier effect would be overwritten: it is not run.
    ctx.convolve = ctx.finish == row_finish::none &&
                   ctx.convolution.Prepare(kernel, kernel_size, kernel_divisor, kernel_offset, w, h);
    for (int r = 0; ctx.convolve && r < h; ++r) {
      row_ready[r].store(false, std::memory_order_relaxed);
      window_taken[r].store(false, std::memory_order_relaxed);
    }
    if (ctx.finish == row_finish::highlight) {
      ctx.highlight.Prepare(position_slopes, w, h);
      ctx.rand_start = run_time_rand.state;
      run_time_rand.state = crt_rand::Skip(ctx.rand_start, ctx.highlight.Draws());
    }
    WithOperator(method_code, [&](auto op) {
      using Op = decltype(op);
      RowsWithProgress(h, [&](int first, int end) { CombineRows<Op>(ctx, first, end); });
    });
    if (perspective_on) {
      std::memcpy(target_work, target_pixels, size_t(w) * h * sizeof(bgra));
      ApplyQuadTransform();
    }
  }
  PresentTarget();
  zone_applied = 0;
  the_ui().RedrawStats();
}
