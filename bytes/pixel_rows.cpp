#include "bytes/pixel_rows.h"

#include <immintrin.h>

namespace {

bool HasSsse3() {
  static const bool ssse3 = __builtin_cpu_supports("ssse3");
  return ssse3;
}

// Four pixels a step; a step reads 16 bytes from 12 pixels' worth of 3-byte input, so
// the vector loop stops 6 pixels before the end and the plain loop finishes.
__attribute__((target("ssse3"))) size_t WidenSsse3(const uint8_t* in, uint8_t* out, size_t pixels,
                                                    bool swap) {
  const __m128i order = swap ? _mm_setr_epi8(2, 1, 0, -1, 5, 4, 3, -1, 8, 7, 6, -1, 11, 10, 9, -1)
                             : _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
  const __m128i opaque = _mm_set1_epi32(int(0xFF000000u));
  size_t x = 0;
  for (; x + 6 <= pixels; x += 4) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 3 * x));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * x), _mm_or_si128(_mm_shuffle_epi8(v, order), opaque));
  }
  return x;
}

// Each step stores 16 bytes of which the last 4 are overwritten by the next step or by
// the plain loop, which always has 2 pixels or more left.
__attribute__((target("ssse3"))) size_t NarrowSsse3(const uint8_t* in, uint8_t* out, size_t pixels) {
  const __m128i order = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
  size_t x = 0;
  for (; x + 6 <= pixels; x += 4) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 4 * x));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 3 * x), _mm_shuffle_epi8(v, order));
  }
  return x;
}

// Byte k of 48 interleaved bytes (16 pixels of blue, green, red) is channel k % 3 of
// pixel k / 3. interleave[v][c] gathers the bytes of output vector v from the line of
// channel c; split[v][c] gathers channel c's line from input vector v.
struct shuffle_tables {
  alignas(16) int8_t interleave[3][3][16];
  alignas(16) int8_t split[3][3][16];
  constexpr shuffle_tables() : interleave(), split() {
    for (int v = 0; v < 3; ++v)
      for (int c = 0; c < 3; ++c)
        for (int j = 0; j < 16; ++j) {
          const int k = 16 * v + j;
          interleave[v][c][j] = int8_t(k % 3 == c ? k / 3 : -1);
          const int from = 3 * j + c;
          split[v][c][j] = int8_t(from / 16 == v ? from % 16 : -1);
        }
  }
};
constexpr shuffle_tables shuffles;

__m128i Table(const int8_t* t) { return _mm_load_si128(reinterpret_cast<const __m128i*>(t)); }

__attribute__((target("ssse3"))) size_t InterleaveSsse3(const uint8_t* const lines[3], uint8_t* out,
                                                         size_t pixels) {
  size_t x = 0;
  for (; x + 16 <= pixels; x += 16) {
    __m128i in[3];
    for (int c = 0; c < 3; ++c) in[c] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lines[c] + x));
    for (int v = 0; v < 3; ++v) {
      __m128i bytes = _mm_setzero_si128();
      for (int c = 0; c < 3; ++c)
        bytes = _mm_or_si128(bytes, _mm_shuffle_epi8(in[c], Table(shuffles.interleave[v][c])));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 3 * x + 16 * v), bytes);
    }
  }
  return x;
}

__attribute__((target("ssse3"))) size_t SplitSsse3(const uint8_t* in, uint8_t* const lines[3], size_t pixels) {
  size_t x = 0;
  for (; x + 16 <= pixels; x += 16) {
    __m128i bytes[3];
    for (int v = 0; v < 3; ++v) bytes[v] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 3 * x + 16 * v));
    for (int c = 0; c < 3; ++c) {
      __m128i line = _mm_setzero_si128();
      for (int v = 0; v < 3; ++v) line = _mm_or_si128(line, _mm_shuffle_epi8(bytes[v], Table(shuffles.split[v][c])));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(lines[c] + x), line);
    }
  }
  return x;
}

void Widen(const uint8_t* in, uint8_t* out, size_t pixels, bool swap) {
  size_t x = HasSsse3() ? WidenSsse3(in, out, pixels, swap) : 0;
  const int first = swap ? 2 : 0;
  for (; x < pixels; ++x) {
    out[4 * x] = in[3 * x + first];
    out[4 * x + 1] = in[3 * x + 1];
    out[4 * x + 2] = in[3 * x + 2 - first];
    out[4 * x + 3] = 255;
  }
}

}  // namespace

void BgrToBgra(const uint8_t* bgr, uint8_t* bgra, size_t pixels) { Widen(bgr, bgra, pixels, false); }

void RgbToBgra(const uint8_t* rgb, uint8_t* bgra, size_t pixels) { Widen(rgb, bgra, pixels, true); }

void BgraToBgr(const uint8_t* bgra, uint8_t* bgr, size_t pixels) {
  size_t x = HasSsse3() ? NarrowSsse3(bgra, bgr, pixels) : 0;
  for (; x < pixels; ++x) {
    bgr[3 * x] = bgra[4 * x];
    bgr[3 * x + 1] = bgra[4 * x + 1];
    bgr[3 * x + 2] = bgra[4 * x + 2];
  }
}

void PlanesToBgr(const uint8_t* red, const uint8_t* green, const uint8_t* blue, uint8_t* bgr, size_t pixels) {
  const uint8_t* const lines[3] = {blue, green, red};
  size_t x = HasSsse3() ? InterleaveSsse3(lines, bgr, pixels) : 0;
  for (; x < pixels; ++x)
    for (int c = 0; c < 3; ++c) bgr[3 * x + c] = lines[c][x];
}

void BgrToPlanes(const uint8_t* bgr, uint8_t* red, uint8_t* green, uint8_t* blue, size_t pixels) {
  uint8_t* const lines[3] = {blue, green, red};
  size_t x = HasSsse3() ? SplitSsse3(bgr, lines, pixels) : 0;
  for (; x < pixels; ++x)
    for (int c = 0; c < 3; ++c) lines[c][x] = bgr[3 * x + c];
}
