#pragma once
#include <cstdint>

#include "engine/base/process_state.h"
#include "engine/base/view_core.h"

// The "Highlight" effect: brightens or darkens each channel along the rows and the
// columns of the target by its slope pair, with dithered rounding drawn from the
// run-time generator (six draws a pixel, row after row).
class highlighter {
 public:
  // slopes: red, green, blue.
  void Prepare(const slope_pair slopes[3], int w, int h);
  // Rows first..end-1 from target_work into target_pixels (blue, green, red); start
  // is the generator's state before the first draw of row 0.
  void Rows(int first, int end, uint32_t start) const;
  // The draws of a whole pass.
  uint64_t Draws() const { return uint64_t(6) * uint64_t(w) * uint64_t(h); }

 private:
  // The whole part of a ramp value, and how many of the draws 0..32767 lie below
  // its fraction scaled to the draws' range: those draws round it up.
  struct dither {
    int64_t whole = 0;
    int32_t rounds_up_below = 0;
  };
  static dither Dither(float t);

  int w = 0;
  int h = 0;
  float vertical[3] = {};
  dither columns[max_target_width][3];
};
