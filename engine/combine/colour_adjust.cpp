#include "engine/combine/colour_adjust.h"

#include <algorithm>

uint8_t colour_adjust::AdjustChannel(int value, channel_pair pair) {
  // Doubles from the start: the pair comes from the view and need not be in range.
  const double k = pair.contrast;
  const double f = k * k / 2500.0;
  const double v = value * f - (f - 1) * 255 * 0.5 + (double(pair.brightness) - 50);
  return uint8_t(int(std::clamp(v, 0.0, 255.0)));
}

void colour_adjust::Prepare(int contrast_mode_code, int contrast_threshold, const channel_pair adjust[3]) {
  mode = contrast_mode_code;
  bias = std::clamp(contrast_threshold, 0, 255);
  for (int ch = 0; ch < 3; ++ch) {
    neutral[ch] = true;
    for (int v = 0; v < 256; ++v) {
      table[ch][v] = AdjustChannel(v, adjust[ch]);
      neutral[ch] = neutral[ch] && table[ch][v] == v;
    }
  }
}

void colour_adjust::ApplyRow(uint8_t* bgr, int count) const {
  const size_t bytes = size_t(count) * 3;
  switch (mode) {
    case 0:
      for (size_t i = 0; i < bytes; i += 3) {
        uint8_t* p = bgr + i;
        const int v = std::min(int(p[2] * 19.2 + p[1] * 37.76 + p[0] * 7.04) >> 6, 255);
        p[0] = p[1] = p[2] = uint8_t(v);
      }
      break;
    case 2: {
      const int threshold = 3 * bias;
      for (size_t i = 0; i < bytes; i += 3) {
        uint8_t* p = bgr + i;
        const uint8_t v = p[0] + p[1] + p[2] > threshold ? 255 : 0;
        p[0] = p[1] = p[2] = v;
      }
      break;
    }
    case 3:
      for (size_t i = 0; i < bytes; ++i) bgr[i] = bgr[i] <= bias ? 0 : 255;
      break;
    default:
      break;
  }
  for (int ch = 0; ch < 3; ++ch) {
    if (neutral[ch]) continue;
    const uint8_t* t = table[ch];
    for (size_t i = size_t(ch); i < bytes; i += 3) bgr[i] = t[bgr[i]];
  }
}
