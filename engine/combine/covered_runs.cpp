#include "engine/combine/covered_runs.h"

#include <cstring>

#include "engine/base/wide_lanes.h"

#ifdef __SSE2__
#include <immintrin.h>
#endif

namespace {

template <class Op>
void PixelByPixel(const Op& op, const uint8_t* a, const uint8_t* b, uint8_t* out, int from, int n) {
  for (int c = from; c < n; ++c) {
    const size_t k = size_t(c) * 3;
    op(1, 1, pixel3{a[k], a[k + 1], a[k + 2]}, pixel3{b[k], b[k + 1], b[k + 2]}, &out[k], &out[k + 1],
       &out[k + 2]);
  }
}

#ifdef __SSE2__
// "Average" sixteen pixels (48 bytes) at a time: every byte is the same blend of the
// two layers' bytes, in 16-bit lanes (the weights add up to 256).
void AverageRun(const average& op, const uint8_t* a, const uint8_t* b, uint8_t* out, int n) {
  const int bias = pixel_rules::Bias();
  const __m128i w1 = _mm_set1_epi16(int16_t(256 - bias));
  const __m128i w2 = _mm_set1_epi16(int16_t(bias));
  const __m128i zero = _mm_setzero_si128();
  const int vector_pixels = n / 16 * 16;
  const size_t bytes = size_t(vector_pixels) * 3;
  for (size_t j = 0; j < bytes; j += 16) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + j));
    const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + j));
    const __m128i lo = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(x, zero), w1),
                                     _mm_mullo_epi16(_mm_unpacklo_epi8(y, zero), w2));
    const __m128i hi = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(x, zero), w1),
                                     _mm_mullo_epi16(_mm_unpackhi_epi8(y, zero), w2));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + j),
                     _mm_packus_epi16(_mm_srli_epi16(lo, 8), _mm_srli_epi16(hi, 8)));
  }
  PixelByPixel(op, a, b, out, vector_pixels, n);
}

// One channel of two pixels (three bytes apart) as doubles.
__m128d Channel(const uint8_t* p) { return _mm_cvtepi32_pd(_mm_setr_epi32(p[0], p[3], 0, 0)); }

// The chroma of two pixels, in the low lanes, in the operators' own order of operations.
__m128 Chroma(const uint8_t* p) {
  const __m128d b = Channel(p), g = Channel(p + 1), r = Channel(p + 2);
  const __m128d half = _mm_set1_pd(0.5);
  const __m128d along = _mm_sub_pd(_mm_sub_pd(r, _mm_mul_pd(g, half)), _mm_mul_pd(b, half));
  const __m128d across = _mm_mul_pd(_mm_set1_pd(0.8660254037844386), _mm_sub_pd(g, b));
  return _mm_cvtpd_ps(_mm_sqrt_pd(_mm_add_pd(_mm_mul_pd(along, along), _mm_mul_pd(across, across))));
}

// Each channel := trunc((c1 t + c2 (total - t)) / 256) for two pixels at k.
[[gnu::always_inline]] inline void BlendPair(const uint8_t* a, const uint8_t* b, uint8_t* out, size_t k,
                                             __m128d t, __m128d total) {
  const __m128d rest = _mm_sub_pd(total, t);
  for (int ch = 0; ch < 3; ++ch) {
    const __m128d v =
        _mm_mul_pd(_mm_add_pd(_mm_mul_pd(Channel(a + k + ch), t), _mm_mul_pd(Channel(b + k + ch), rest)),
                   _mm_set1_pd(0.00390625));
    const __m128i q = _mm_cvttpd_epi32(v);
    out[k + ch] = uint8_t(_mm_cvtsi128_si32(q));
    out[k + 3 + ch] = uint8_t(_mm_cvtsi128_si32(_mm_srli_si128(q, 4)));
  }
}

// 0.1 x, clamped to 0..top.
__m128d Weight(__m128d x, __m128d top) {
  return _mm_min_pd(_mm_max_pd(_mm_mul_pd(_mm_set1_pd(0.1), x), _mm_setzero_pd()), top);
}

// "Most Colored" and "Least Colored" two pixels at a time.
template <bool least_coloured, class Op>
void ChromaRun(const Op& op, const uint8_t* a, const uint8_t* b, uint8_t* out, int n) {
  const __m128 bias_term = _mm_set1_ps(float((127 - pixel_rules::Bias()) * 128));
  const __m128 scale = _mm_set1_ps(64.0f);
  const __m128 full = _mm_set1_ps(255.0f);
  const __m128d top = _mm_set1_pd(256.0);
  const int pairs = n / 2 * 2;
  for (int c = 0; c < pairs; c += 2) {
    const size_t k = size_t(c) * 3;
    __m128 k1 = Chroma(a + k), k2 = Chroma(b + k);
    if (least_coloured) {
      k1 = _mm_sub_ps(full, k1);
      k2 = _mm_sub_ps(full, k2);
    }
    const __m128 s = _mm_add_ps(_mm_sub_ps(_mm_mul_ps(scale, k1), _mm_mul_ps(scale, k2)), bias_term);
    BlendPair(a, b, out, k, Weight(_mm_cvtps_pd(s), top), top);
  }
  PixelByPixel(op, a, b, out, pairs, n);
}

// "Brightest" and "Darkest" two pixels at a time; the luma difference is integer.
template <bool darkest, class Op>
void LumaRun(const Op& op, const uint8_t* a, const uint8_t* b, uint8_t* out, int n) {
  const int bias_term = (127 - pixel_rules::Bias()) * 128;
  const __m128d top = _mm_set1_pd(darkest ? 255.0 : 256.0);
  const int pairs = n / 2 * 2;
  for (int c = 0; c < pairs; c += 2) {
    const size_t k = size_t(c) * 3;
    int t[2];
    for (int i = 0; i < 2; ++i) {
      const size_t at = k + size_t(i) * 3;
      const int d = pixel_rules::LumaDifference({a[at], a[at + 1], a[at + 2]}, {b[at], b[at + 1], b[at + 2]});
      t[i] = darkest ? bias_term - d : bias_term + d;
    }
    BlendPair(a, b, out, k, Weight(_mm_cvtepi32_pd(_mm_setr_epi32(t[0], t[1], 0, 0)), top), top);
  }
  PixelByPixel(op, a, b, out, pairs, n);
}

// "Subtract 1, 2" and "Subtract 2, 1" sixteen pixels (48 bytes) at a time, every byte
// alike, in signed 16-bit lanes: the weights are at most 127, so the products and their
// difference fit, and the saturating pack is the clamp to 0..255.
template <bool two_minus_one, class Op>
void SubtractRun(const Op& op, const uint8_t* a, const uint8_t* b, uint8_t* out, int n) {
  const int bias = pixel_rules::Bias();
  int weight1, weight2;
  pixel_rules::SubtractWeights(bias, weight1, weight2);
  const __m128i w1 = _mm_set1_epi16(int16_t(weight1));
  const __m128i w2 = _mm_set1_epi16(int16_t(weight2));
  const __m128i lift = _mm_set1_epi16(int16_t(two_minus_one ? 255 - bias : bias));
  const __m128i zero = _mm_setzero_si128();
  const auto half = [&](__m128i x, __m128i y) {
    const __m128i one = _mm_mullo_epi16(x, w1), two = _mm_mullo_epi16(y, w2);
    const __m128i d = two_minus_one ? _mm_sub_epi16(two, one) : _mm_sub_epi16(one, two);
    return _mm_add_epi16(_mm_srai_epi16(d, 7), lift);
  };
  const int vector_pixels = n / 16 * 16;
  const size_t bytes = size_t(vector_pixels) * 3;
  for (size_t j = 0; j < bytes; j += 16) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + j));
    const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + j));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + j),
                     _mm_packus_epi16(half(_mm_unpacklo_epi8(x, zero), _mm_unpacklo_epi8(y, zero)),
                                      half(_mm_unpackhi_epi8(x, zero), _mm_unpackhi_epi8(y, zero))));
  }
  PixelByPixel(op, a, b, out, vector_pixels, n);
}

// The grey threshold of the conditional operators: a pixel passes when every byte of
// the tested source reaches the level (the bias, or 256 minus it for source 2). A
// level of 256 is never reached; below it, a byte c reaches it where max(c, level) = c.
struct threshold {
  int level;
  uint8_t byte;
  bool reachable;
  explicit threshold(bool on_source2) {
    const int bias = pixel_rules::Bias();
    level = on_source2 ? 256 - bias : bias;
    reachable = level < 256;
    byte = uint8_t(std::min(level, 255));
  }
};

// The base colour in blue, green, red order from byte 0 of a 16-byte lane on.
__m128i BaseLane() {
  alignas(16) uint8_t lane[16] = {};
  for (int i = 0; i < 15; ++i)
    lane[i] = i % 3 == 0 ? base_color.blue : i % 3 == 1 ? base_color.green : base_color.red;
  return _mm_load_si128(reinterpret_cast<const __m128i*>(lane));
}

// The conditional operators five whole pixels (15 bytes) a 16-byte lane, so that the
// three bytes of a pixel never straddle two lanes; the sixteenth byte of each store is
// rewritten by the next. A pixel's pass is the AND of its three bytes' tests, gathered
// at its first byte and spread back over the other two.
template <bool on_source2, pixel_rules::pick yes, pixel_rules::pick no, class Op>
void ConditionalRun(const Op& op, const uint8_t* a, const uint8_t* b, uint8_t* out, int n) {
  using pixel_rules::pick;
  const threshold t(on_source2);
  const __m128i level = _mm_set1_epi8(char(t.byte));
  const __m128i firsts = _mm_and_si128(_mm_setr_epi8(-1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, 0),
                                       _mm_set1_epi8(t.reachable ? -1 : 0));
  const __m128i base = BaseLane();
  const size_t bytes = size_t(n) * 3;
  size_t k = 0;
  for (; k + 16 <= bytes; k += 15) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + k));
    const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + k));
    const __m128i tested = on_source2 ? y : x;
    const __m128i reach = _mm_cmpeq_epi8(_mm_max_epu8(tested, level), tested);
    const __m128i all = _mm_and_si128(
        _mm_and_si128(reach, _mm_srli_si128(reach, 1)), _mm_and_si128(_mm_srli_si128(reach, 2), firsts));
    const __m128i pass = _mm_or_si128(all, _mm_or_si128(_mm_slli_si128(all, 1), _mm_slli_si128(all, 2)));
    const __m128i when_yes = yes == pick::source1 ? x : yes == pick::source2 ? y : base;
    const __m128i when_no = no == pick::source1 ? x : no == pick::source2 ? y : base;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k),
                     _mm_or_si128(_mm_and_si128(pass, when_yes), _mm_andnot_si128(pass, when_no)));
  }
  PixelByPixel(op, a, b, out, int(k / 3), n);
}

#if defined(__x86_64__) || defined(__i386__)
// "Average" in 32-byte lanes, 32 pixels (96 bytes) a step.
__attribute__((target("avx2"))) void WideAverageRun(const average& op, const uint8_t* a, const uint8_t* b,
                                                    uint8_t* out, int n) {
  const int bias = pixel_rules::Bias();
  const __m256i w1 = _mm256_set1_epi16(int16_t(256 - bias));
  const __m256i w2 = _mm256_set1_epi16(int16_t(bias));
  const __m256i zero = _mm256_setzero_si256();
  const int vector_pixels = n / 32 * 32;
  const size_t bytes = size_t(vector_pixels) * 3;
  for (size_t j = 0; j < bytes; j += 32) {
    const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + j));
    const __m256i y = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + j));
    const __m256i lo = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(x, zero), w1),
                                        _mm256_mullo_epi16(_mm256_unpacklo_epi8(y, zero), w2));
    const __m256i hi = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(x, zero), w1),
                                        _mm256_mullo_epi16(_mm256_unpackhi_epi8(y, zero), w2));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + j),
                        _mm256_packus_epi16(_mm256_srli_epi16(lo, 8), _mm256_srli_epi16(hi, 8)));
  }
  AverageRun(op, a + bytes, b + bytes, out + bytes, n - vector_pixels);
}

// The weighted operators four pixels at a time in 32-byte lanes: the pixels'
// channels spread to one register a channel, the weights of four pixels computed
// together, each channel blended in the operators' own order of operations.
#define VORBEL_AVX2 __attribute__((target("avx2")))

struct planar4 {
  __m256d blue, green, red;
};

// Bytes first, first + 3, first + 6 and first + 9 of v as doubles.
VORBEL_AVX2 inline __m256d Spread(__m128i v, char first) {
  const __m128i lanes = _mm_setr_epi8(first, -1, -1, -1, char(first + 3), -1, -1, -1, char(first + 6), -1, -1,
                                      -1, char(first + 9), -1, -1, -1);
  return _mm256_cvtepi32_pd(_mm_shuffle_epi8(v, lanes));
}

VORBEL_AVX2 inline planar4 Planar(const uint8_t* p) {
  uint64_t low;
  uint32_t high;
  std::memcpy(&low, p, 8);
  std::memcpy(&high, p + 8, 4);
  const __m128i v = _mm_set_epi64x(int64_t(high), int64_t(low));
  return {Spread(v, 0), Spread(v, 1), Spread(v, 2)};
}

VORBEL_AVX2 inline __m128 Chroma4(const planar4& p) {
  const __m256d half = _mm256_set1_pd(0.5);
  const __m256d along =
      _mm256_sub_pd(_mm256_sub_pd(p.red, _mm256_mul_pd(p.green, half)), _mm256_mul_pd(p.blue, half));
  const __m256d across = _mm256_mul_pd(_mm256_set1_pd(0.8660254037844386), _mm256_sub_pd(p.green, p.blue));
  return _mm256_cvtpd_ps(
      _mm256_sqrt_pd(_mm256_add_pd(_mm256_mul_pd(along, along), _mm256_mul_pd(across, across))));
}

VORBEL_AVX2 inline __m256d Weight4(__m256d x, __m256d top) {
  return _mm256_min_pd(_mm256_max_pd(_mm256_mul_pd(_mm256_set1_pd(0.1), x), _mm256_setzero_pd()), top);
}

VORBEL_AVX2 inline __m128i BlendChannel(__m256d c1, __m256d c2, __m256d t, __m256d rest) {
  return _mm256_cvttpd_epi32(_mm256_mul_pd(_mm256_add_pd(_mm256_mul_pd(c1, t), _mm256_mul_pd(c2, rest)),
                                           _mm256_set1_pd(0.00390625)));
}

// Twelve bytes: blue, green, red of four pixels.
VORBEL_AVX2 inline void Blend4(const planar4& a, const planar4& b, __m256d t, __m256d total, uint8_t* out) {
  const __m256d rest = _mm256_sub_pd(total, t);
  const __m128i blue = BlendChannel(a.blue, b.blue, t, rest);
  const __m128i green = BlendChannel(a.green, b.green, t, rest);
  const __m128i red = BlendChannel(a.red, b.red, t, rest);
  const __m128i packed = _mm_or_si128(blue, _mm_or_si128(_mm_slli_epi32(green, 8), _mm_slli_epi32(red, 16)));
  const __m128i bytes =
      _mm_shuffle_epi8(packed, _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1));
  _mm_storel_epi64(reinterpret_cast<__m128i*>(out), bytes);
  const uint32_t last = uint32_t(_mm_cvtsi128_si32(_mm_srli_si128(bytes, 8)));
  std::memcpy(out + 8, &last, 4);
}

template <bool least_coloured, class Op>
VORBEL_AVX2 void WideChromaRun(const Op& op, const uint8_t* a, const uint8_t* b, uint8_t* out, int n) {
  const __m128 bias_term = _mm_set1_ps(float((127 - pixel_rules::Bias()) * 128));
  const __m128 scale = _mm_set1_ps(64.0f);
  const __m128 full = _mm_set1_ps(255.0f);
  const __m256d top = _mm256_set1_pd(256.0);
  const int groups = n / 4 * 4;
  for (int c = 0; c < groups; c += 4) {
    const size_t k = size_t(c) * 3;
    const planar4 pa = Planar(a + k), pb = Planar(b + k);
    __m128 k1 = Chroma4(pa), k2 = Chroma4(pb);
    if (least_coloured) {
      k1 = _mm_sub_ps(full, k1);
      k2 = _mm_sub_ps(full, k2);
    }
    const __m128 s = _mm_add_ps(_mm_sub_ps(_mm_mul_ps(scale, k1), _mm_mul_ps(scale, k2)), bias_term);
    Blend4(pa, pb, Weight4(_mm256_cvtps_pd(s), top), top, out + k);
  }
  PixelByPixel(op, a, b, out, groups, n);
}

template <bool darkest, class Op>
VORBEL_AVX2 void WideLumaRun(const Op& op, const uint8_t* a, const uint8_t* b, uint8_t* out, int n) {
  const int bias_term = (127 - pixel_rules::Bias()) * 128;
  const __m256d top = _mm256_set1_pd(darkest ? 255.0 : 256.0);
  const int groups = n / 4 * 4;
  for (int c = 0; c < groups; c += 4) {
    const size_t k = size_t(c) * 3;
    int t[4];
    for (int i = 0; i < 4; ++i) {
      const size_t at = k + size_t(i) * 3;
      const int d = pixel_rules::LumaDifference({a[at], a[at + 1], a[at + 2]}, {b[at], b[at + 1], b[at + 2]});
      t[i] = darkest ? bias_term - d : bias_term + d;
    }
    const __m256d weight = Weight4(_mm256_cvtepi32_pd(_mm_setr_epi32(t[0], t[1], t[2], t[3])), top);
    Blend4(Planar(a + k), Planar(b + k), weight, top, out + k);
  }
  PixelByPixel(op, a, b, out, groups, n);
}
// One subtraction of sixteen 16-bit lanes, shifted and lifted.
template <bool two_minus_one>
VORBEL_AVX2 inline __m256i WideDifference(__m256i x, __m256i y, __m256i w1, __m256i w2, __m256i lift) {
  const __m256i one = _mm256_mullo_epi16(x, w1), two = _mm256_mullo_epi16(y, w2);
  const __m256i d = two_minus_one ? _mm256_sub_epi16(two, one) : _mm256_sub_epi16(one, two);
  return _mm256_add_epi16(_mm256_srai_epi16(d, 7), lift);
}

// "Subtract 1, 2" and "Subtract 2, 1" in 32-byte lanes, 32 pixels (96 bytes) a step.
template <bool two_minus_one, class Op>
VORBEL_AVX2 void WideSubtractRun(const Op& op, const uint8_t* a, const uint8_t* b, uint8_t* out, int n) {
  const int bias = pixel_rules::Bias();
  int weight1, weight2;
  pixel_rules::SubtractWeights(bias, weight1, weight2);
  const __m256i w1 = _mm256_set1_epi16(int16_t(weight1));
  const __m256i w2 = _mm256_set1_epi16(int16_t(weight2));
  const __m256i lift = _mm256_set1_epi16(int16_t(two_minus_one ? 255 - bias : bias));
  const __m256i zero = _mm256_setzero_si256();
  const int vector_pixels = n / 32 * 32;
  const size_t bytes = size_t(vector_pixels) * 3;
  for (size_t j = 0; j < bytes; j += 32) {
    const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + j));
    const __m256i y = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + j));
    const __m256i lo = WideDifference<two_minus_one>(_mm256_unpacklo_epi8(x, zero),
                                                     _mm256_unpacklo_epi8(y, zero), w1, w2, lift);
    const __m256i hi = WideDifference<two_minus_one>(_mm256_unpackhi_epi8(x, zero),
                                                     _mm256_unpackhi_epi8(y, zero), w1, w2, lift);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + j), _mm256_packus_epi16(lo, hi));
  }
  SubtractRun<two_minus_one>(op, a + bytes, b + bytes, out + bytes, n - vector_pixels);
}

// Two 16-byte lanes of five pixels each, 15 bytes apart.
VORBEL_AVX2 inline __m256i LoadTenPixels(const uint8_t* p) {
  return _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))),
                                 _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 15)), 1);
}

// The conditional operators ten pixels a step, five in each 16-byte half as above.
template <bool on_source2, pixel_rules::pick yes, pixel_rules::pick no, class Op>
VORBEL_AVX2 void WideConditionalRun(const Op& op, const uint8_t* a, const uint8_t* b, uint8_t* out, int n) {
  using pixel_rules::pick;
  const threshold t(on_source2);
  const __m256i level = _mm256_set1_epi8(char(t.byte));
  const __m256i firsts = _mm256_and_si256(
      _mm256_broadcastsi128_si256(_mm_setr_epi8(-1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, 0)),
      _mm256_set1_epi8(t.reachable ? -1 : 0));
  const __m256i base = _mm256_broadcastsi128_si256(BaseLane());
  const size_t bytes = size_t(n) * 3;
  size_t k = 0;
  for (; k + 31 <= bytes; k += 30) {
    const __m256i x = LoadTenPixels(a + k), y = LoadTenPixels(b + k);
    const __m256i tested = on_source2 ? y : x;
    const __m256i reach = _mm256_cmpeq_epi8(_mm256_max_epu8(tested, level), tested);
    const __m256i all = _mm256_and_si256(_mm256_and_si256(reach, _mm256_srli_si256(reach, 1)),
                                         _mm256_and_si256(_mm256_srli_si256(reach, 2), firsts));
    const __m256i pass =
        _mm256_or_si256(all, _mm256_or_si256(_mm256_slli_si256(all, 1), _mm256_slli_si256(all, 2)));
    const __m256i when_yes = yes == pick::source1 ? x : yes == pick::source2 ? y : base;
    const __m256i when_no = no == pick::source1 ? x : no == pick::source2 ? y : base;
    const __m256i result = _mm256_blendv_epi8(when_no, when_yes, pass);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), _mm256_castsi256_si128(result));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k + 15), _mm256_extracti128_si256(result, 1));
  }
  const int done = int(k / 3);
  ConditionalRun<on_source2, yes, no>(op, a + k, b + k, out + k, n - done);
}
#undef VORBEL_AVX2
#else
void WideAverageRun(const average& op, const uint8_t* a, const uint8_t* b, uint8_t* out, int n) {
  AverageRun(op, a, b, out, n);
}
template <bool least_coloured, class Op>
void WideChromaRun(const Op&, const uint8_t*, const uint8_t*, uint8_t*, int) {}
template <bool darkest, class Op>
void WideLumaRun(const Op&, const uint8_t*, const uint8_t*, uint8_t*, int) {}
template <bool two_minus_one, class Op>
void WideSubtractRun(const Op&, const uint8_t*, const uint8_t*, uint8_t*, int) {}
template <bool on_source2, pixel_rules::pick yes, pixel_rules::pick no, class Op>
void WideConditionalRun(const Op&, const uint8_t*, const uint8_t*, uint8_t*, int) {}
#endif
#endif

}  // namespace

// The copies need no vector form of their own: the compiler makes the loop one.
void CoveredRun(const picture1& op, const uint8_t* a, const uint8_t* b, uint8_t* out, int n) {
  PixelByPixel(op, a, b, out, 0, n);
}
void CoveredRun(const picture2& op, const uint8_t* a, const uint8_t* b, uint8_t* out, int n) {
  PixelByPixel(op, a, b, out, 0, n);
}

#ifdef __SSE2__
void CoveredRun(const average& op, const uint8_t* a, const uint8_t* b, uint8_t* out, int n) {
  if (WideLanes())
    WideAverageRun(op, a, b, out, n);
  else
    AverageRun(op, a, b, out, n);
}

// Each operator in 32-byte lanes where allowed, else in 16-byte ones.
#define VORBEL_LANES(Op, Run, ...)                                                          \
  void CoveredRun(const Op& op, const uint8_t* a, const uint8_t* b, uint8_t* out, int n) { \
    if (WideLanes())                                                                        \
      Wide##Run<__VA_ARGS__>(op, a, b, out, n);                                             \
    else                                                                                    \
      Run<__VA_ARGS__>(op, a, b, out, n);                                                   \
  }
#else
void CoveredRun(const average& op, const uint8_t* a, const uint8_t* b, uint8_t* out, int n) {
  PixelByPixel(op, a, b, out, 0, n);
}

#define VORBEL_LANES(Op, Run, ...)                                                          \
  void CoveredRun(const Op& op, const uint8_t* a, const uint8_t* b, uint8_t* out, int n) { \
    PixelByPixel(op, a, b, out, 0, n);                                                      \
  }
#endif

using pixel_rules::pick;
VORBEL_LANES(most, LumaRun, false)
VORBEL_LANES(least, LumaRun, true)
VORBEL_LANES(saturated, ChromaRun, false)
VORBEL_LANES(grey, ChromaRun, true)
VORBEL_LANES(subtract12, SubtractRun, false)
VORBEL_LANES(subtract21, SubtractRun, true)
VORBEL_LANES(comp12, ConditionalRun, false, pick::source1, pick::source2)
VORBEL_LANES(comp21, ConditionalRun, false, pick::source2, pick::source1)
VORBEL_LANES(comp_h_12, ConditionalRun, true, pick::source1, pick::source2)
VORBEL_LANES(comp_h_21, ConditionalRun, true, pick::source2, pick::source1)
VORBEL_LANES(comp12_bgnd, ConditionalRun, false, pick::source1, pick::base)
VORBEL_LANES(comp21_bgnd, ConditionalRun, false, pick::source2, pick::base)
VORBEL_LANES(comp_h_12_bgnd, ConditionalRun, true, pick::source1, pick::base)
VORBEL_LANES(comp_h_21_bgnd, ConditionalRun, true, pick::source2, pick::base)
#undef VORBEL_LANES
