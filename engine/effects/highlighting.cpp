#include "engine/effects/highlighting.h"

#include <algorithm>
#include <cmath>

#include "engine/base/crt_rand.h"

highlighter::dither highlighter::Dither(float t) {
  // |t| stays below 2^32 for any int slope, well inside int64_t.
  const int64_t whole = int64_t(t);
  // A draw q rounds up when the scaled fraction exceeds it; q is a whole number that
  // single precision holds exactly, so that is q < ceil(excess).
  const float excess = (t - float(whole)) * 32767.0f;
  return {whole, excess > 0.0f ? int32_t(std::ceil(excess)) : 0};
}

void highlighter::Prepare(const slope_pair slopes[3], int width, int height) {
  w = std::clamp(width, 0, max_target_width);
  h = std::clamp(height, 0, max_target_height);
  const float wf = float(w);
  for (int ch = 0; ch < 3; ++ch) {
    vertical[ch] = float(slopes[ch].vertical);
    const float horizontal = float(slopes[ch].horizontal);
    for (int c = 0; c < w; ++c) {
      const float cf = float(c);
      columns[c][ch] = Dither((cf / wf + cf / wf - 1.0f) * horizontal + 64.0f);
    }
  }
}

void highlighter::Rows(int first, int end, uint32_t start) const {
  // The six draws of a pixel as independent steps from the pixel's starting state.
  uint32_t step_m[6];
  uint32_t step_c[6];
  for (int k = 0; k < 6; ++k) {
    step_c[k] = crt_rand::Skip(0, k + 1);
    step_m[k] = crt_rand::Skip(1, k + 1) - step_c[k];
  }
  uint32_t state = crt_rand::Skip(start, uint64_t(6) * uint64_t(w) * uint64_t(first));
  const float hf = float(h);
  for (int r = first; r < end; ++r) {
    const float rf = float(r);
    dither rows[3];
    for (int ch = 0; ch < 3; ++ch) rows[ch] = Dither((rf / hf + rf / hf - 1.0f) * vertical[ch] + 64.0f);
    const bgra* in = target_work + size_t(r) * w;
    bgra* out = target_pixels + size_t(r) * w;
    for (int c = 0; c < w; ++c) {
      int q[6];
      for (int k = 0; k < 6; ++k) q[k] = int(((step_m[k] * state + step_c[k]) >> 16) & 0x7FFF);
      state = step_m[5] * state + step_c[5];
      // Channel ch (red, green, blue) is byte 2 - ch of a pixel.
      const uint8_t* x = &in[c].blue;
      uint8_t* y = &out[c].blue;
      for (int ch = 0; ch < 3; ++ch) {
        const dither& dv = rows[ch];
        const dither& dh = columns[c][ch];
        const int64_t tv = dv.whole + (q[2 * ch] < dv.rounds_up_below ? 1 : 0);
        const int64_t th = dh.whole + (q[2 * ch + 1] < dh.rounds_up_below ? 1 : 0);
        y[2 - ch] = uint8_t(std::clamp<int64_t>(x[2 - ch] + 2 * (tv + th - 128), 0, 255));
      }
    }
  }
}
