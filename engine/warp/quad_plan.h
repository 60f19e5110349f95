#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include "engine/base/process_state.h"

// What the parts of the perspective warp share: the frame of one target size and set of
// corners, the plan of where each target pixel samples, and the steps that fill it.
// What runs per pixel on every path is inline here; the four- and eight-lane paths live
// beside it, one file a lane width.
namespace quad_warp {

// How far, on either axis, the corner blend of a solution may land from the pixel
// it was solved for and still belong to it. The two roots of each equation pair
// up into one true solution and one that lands elsewhere.
constexpr double back_tolerance = 0.5;

// What the warp of one target size and one set of corners fixes before the pixels.
// Each equation a·t² + b·t + c = 0 has its b and c summed from a column part, row
// parts and constants in the order of their written form, so that every pixel gets
// the same single-precision coefficient as a pixel-by-pixel evaluation.
struct warp_frame {
  int w = 0, h = 0;
  int64_t tl_x = 0, tl_y = 0;
  float au = 0, av = 0;                    // leading coefficients, horizontal and vertical
  float e2y_e1x = 0, e2x_e1y = 0;          // constant products of b and b'
  float k2 = 0, k4 = 0, e1x = 0, e2x = 0;  // row multipliers
  double e1x_d = 0, e1y_d = 0, e2x_d = 0, e2y_d = 0, gx = 0, gy = 0, inv_w = 0, inv_h = 0;
  bool wide = false, widest = false;
  // The corner blends at u = -1/W or 1 and v = -1/H or 1, from the top-left corner.
  double hull[4][2];
  // Column parts: p.x·(BR.y − BL.y) − p.x·e1.y, e2.y·p.x, p.x·(BR.y − TR.y) − e2.y·p.x, p.x·e1.y.
  float ub0[max_target_width], uc0[max_target_width], vb0[max_target_width], vc0[max_target_width];
};

struct row_terms {
  int64_t py;
  float py_k2, py_e1x, e2x_py, py_k4;
};

void PrepareFrame(warp_frame& f, int w, int h);
row_terms RowTerms(const warp_frame& f, int y);

inline bool WithinFive(double r) { return r >= -5.0 && r <= 5.0; }
inline bool InRange(double X, double Y, int w, int h) { return X > -1.0 && X < w && Y > -1.0 && Y < h; }

// Column and row positions (W·u, H·v) that pixel x of row r samples; false when it
// lies outside the quadrilateral. The first root pair is the one an upright
// quadrilateral needs; a mirrored or turned one may need another pair, and a pair
// counts only when it maps back onto the pixel.
bool SolvePixel(const warp_frame& f, const row_terms& r, int x, double& X, double& Y);

// The column, row and 8-bit fractions of a position already known to lie in
// (-1, W) x (-1, H); a position just below 0 gives a negative fraction.
struct sample_at {
  int col, row, fx, fy;
};

inline sample_at Position(double X, double Y) {
  const int col = int(X), row = int(Y);
  return {col, row, int(X * 256.0) - col * 256, int(Y * 256.0) - row * 256};
}

// The bilinear sample of a W x H image.
void Sample(int w, int h, sample_at at, bgra* out);

// One row's solutions: where each pixel samples, or that it is outside, or that
// the pixel-by-pixel solution has to settle it.
enum pixel_state : uint8_t { solved = 0, outer = 1, unsettled = 2 };
struct row_solution {
  int32_t col[max_target_width], row[max_target_width], fx[max_target_width], fy[max_target_width];
  pixel_state state[max_target_width];
};

// Where each pixel of the target samples, as the last warp solved it. Every combine
// warps again while the warp is on, mostly with unchanged corners; a warp with the
// same size and corners samples from here without solving again. The lane widths
// belong to the key too, so that switching them (tests do, to compare the paths)
// solves afresh.
enum group_kind : uint8_t { mixed = 0, all_inner, all_base };
constexpr int groups_per_row = max_target_width / 8;
struct sample_plan {
  bool valid = false;
  int w = 0, h = 0;
  int corners[8] = {};
  bool wide = false, widest = false;
  // Per row, the columns [begin, end) that may lie on the quadrilateral; the others
  // take the base colour.
  int begin[max_target_height], end[max_target_height];
  // Per pixel of those, rows W apart: the column (negative: the base colour), the
  // row and the fractions.
  int16_t col[target_capacity], row[target_capacity], fx[target_capacity], fy[target_capacity];
  // Per eight of those pixels from begin (the last of a row may be fewer): all eight
  // with their right and lower neighbours inside the image, all eight in the base
  // colour, or neither.
  group_kind group[max_target_height * groups_per_row];
};

extern sample_plan plan;

// A row of the plan; group[g] is the group that starts at column begin + 8·g.
struct plan_row {
  int16_t *col, *row, *fx, *fy;
  group_kind* group;
  int begin;
};

inline plan_row PlanRow(int w, int y) {
  const size_t at = size_t(y) * w;
  return {plan.col + at, plan.row + at, plan.fx + at, plan.fy + at, plan.group + size_t(y) * groups_per_row,
          plan.begin[y]};
}

inline void Keep(const plan_row& p, int x, sample_at at) {
  p.col[x] = int16_t(at.col);
  p.row[x] = int16_t(at.row);
  p.fx[x] = int16_t(at.fx);
  p.fy[x] = int16_t(at.fy);
}

inline sample_at Kept(const plan_row& p, int x) { return {p.col[x], p.row[x], p.fx[x], p.fy[x]}; }

void SolveColumn(const warp_frame& f, const row_terms& r, int x, const plan_row& p);

inline void Base(const rgb_color& base, bgra* out) {
  out->blue = base.blue;
  out->green = base.green;
  out->red = base.red;
}

// Base over the pixels [begin, end) of a row, as whole words the compiler can widen.
inline void BaseRun(const rgb_color& base, bgra* out, int begin, int end) {
  const bgra colour{base.blue, base.green, base.red, 0}, fourth{0, 0, 0, 0xFF};
  uint32_t colour_bits, fourth_byte;
  std::memcpy(&colour_bits, &colour, 4);
  std::memcpy(&fourth_byte, &fourth, 4);
  for (int x = begin; x < end; ++x) {
    uint32_t v;
    std::memcpy(&v, out + x, 4);
    v = (v & fourth_byte) | colour_bits;
    std::memcpy(out + x, &v, 4);
  }
}

// Which kind each group of eight of a row plan is, for the groups from column x
// (a group's start) to end.
void Groups(int w, int h, const plan_row& p, int x, int end);

#if defined(__x86_64__) || defined(__i386__)
#define VORBEL_AVX2 __attribute__((target("avx2")))
#define VORBEL_AVX512 __attribute__((target("avx2,avx512f,avx512dq,avx512vl,avx512bw")))

// Columns of one row four at a time, solved as SolvePixel solves them. A lane whose
// first vertical root lies too near ±5 to tell without the division is left to
// SolvePixel. Returns where the columns it left begin.
VORBEL_AVX2 int WideColumns(const warp_frame& f, const row_terms& r, int begin, int end, row_solution& out);
// WideColumns eight columns at a time in 64-byte lanes, the same operations in the
// same order; the solved columns go straight into the row plan, the others to it as
// the base colour until the pixel-by-pixel solution settles them.
VORBEL_AVX512 int WidestColumns(const warp_frame& f, const row_terms& r, int begin, int end, row_solution& out,
                                const plan_row& p);
// The plan of the columns [begin, end) of one row, solved four or eight at a time.
VORBEL_AVX2 void WideSolve(const warp_frame& f, const row_terms& r, int begin, int end, row_solution& sol,
                           const plan_row& p);

// Sample for a pixel whose right and lower neighbours lie inside the image: the
// four neighbours' channels weighted in 32-bit lanes, the sums shifted and clamped.
VORBEL_AVX2 inline void InnerSample(const bgra* at, int w, int fx, int fy, bgra* out) {
  const __m256i top = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(at)));
  const __m256i bottom = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(at + w)));
  const int w00 = (256 - fx) * (256 - fy), w10 = fx * (256 - fy), w01 = (256 - fx) * fy, w11 = fx * fy;
  const __m256i sums =
      _mm256_add_epi32(_mm256_mullo_epi32(top, _mm256_setr_epi32(w00, w00, w00, w00, w10, w10, w10, w10)),
                       _mm256_mullo_epi32(bottom, _mm256_setr_epi32(w01, w01, w01, w01, w11, w11, w11, w11)));
  const __m128i pixel = _mm_srai_epi32(
      _mm_add_epi32(_mm256_castsi256_si128(sums), _mm256_extracti128_si256(sums, 1)), 16);
  const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(pixel, pixel), pixel);
  const uint32_t colours = uint32_t(_mm_cvtsi128_si32(bytes));
  uint32_t old;
  std::memcpy(&old, out, 4);
  const uint32_t merged = (colours & 0x00FFFFFFu) | (old & 0xFF000000u);
  std::memcpy(out, &merged, 4);
}

// One pixel of a row plan.
VORBEL_AVX2 inline void WidePixel(int w, int h, const plan_row& p, int x, const rgb_color& base, bgra* out) {
  if (p.col[x] < 0)
    Base(base, out + x);
  else if (p.col[x] + 1 < w && p.row[x] + 1 < h)
    InnerSample(target_work + size_t(p.row[x]) * w + p.col[x], w, p.fx[x], p.fy[x], out + x);
  else
    Sample(w, h, Kept(p, x), out + x);
}

VORBEL_AVX2 void SampleRowWide(int w, int h, const plan_row& p, int end, const rgb_color& base, bgra* out);
// The groups of eight that sample with all their neighbours inside the image, eight
// at a time.
VORBEL_AVX512 void SampleRowWidest(int w, int h, const plan_row& p, int end, const rgb_color& base, bgra* out);
#endif

}  // namespace quad_warp
