#pragma once
#include <cstdint>

#include "engine/combine/pixel_operators.h"

// A combining operator over a run of n pixels that both layers cover, three bytes a
// pixel in and out: exactly the bytes of calling the operator pixel by pixel. Every
// operator has a vector form, cheaper over a run than its rule pixel by pixel.
#define VORBEL_COVERED_RUN(Op) \
  void CoveredRun(const Op& op, const uint8_t* a, const uint8_t* b, uint8_t* out, int n);
VORBEL_COVERED_RUN(picture1)
VORBEL_COVERED_RUN(picture2)
VORBEL_COVERED_RUN(most)
VORBEL_COVERED_RUN(least)
VORBEL_COVERED_RUN(saturated)
VORBEL_COVERED_RUN(grey)
VORBEL_COVERED_RUN(subtract12)
VORBEL_COVERED_RUN(subtract21)
VORBEL_COVERED_RUN(average)
VORBEL_COVERED_RUN(comp12)
VORBEL_COVERED_RUN(comp21)
VORBEL_COVERED_RUN(comp_h_12)
VORBEL_COVERED_RUN(comp_h_21)
VORBEL_COVERED_RUN(comp12_bgnd)
VORBEL_COVERED_RUN(comp21_bgnd)
VORBEL_COVERED_RUN(comp_h_12_bgnd)
VORBEL_COVERED_RUN(comp_h_21_bgnd)
#undef VORBEL_COVERED_RUN
