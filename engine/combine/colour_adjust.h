#pragma once
#include <cstdint>

#include "engine/base/process_state.h"
#include "engine/base/view_core.h"

// The contrast mode and the per-channel contrast and brightness that the combining
// pass applies to each combined pixel. Prepared once a pass; the channel adjustment
// depends on the channel's value alone, so it becomes a table.
class colour_adjust {
 public:
  // adjust: blue, green, red.
  void Prepare(int mode, int bias, const channel_pair adjust[3]);
  // Adjusts count pixels of three bytes (blue, green, red) in place.
  void ApplyRow(uint8_t* bgr, int count) const;

  // The exact arithmetic for one channel value.
  static uint8_t AdjustChannel(int value, channel_pair pair);

 private:
  int mode = 1;
  int bias = 127;
  bool neutral[3] = {true, true, true};
  uint8_t table[3][256] = {};
};
