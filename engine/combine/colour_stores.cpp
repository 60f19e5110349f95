#include "engine/combine/colour_stores.h"

#include <cstring>

#include "engine/base/wide_lanes.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

constexpr uint32_t colour_bits = 0x00FFFFFF;

template <int targets>
void StorePlain(const uint8_t* bgr, bgra* const out[2], int from, int n) {
  for (int c = from; c < n; ++c) {
    uint32_t v;
    std::memcpy(&v, bgr + size_t(c) * 3, 4);
    for (int t = 0; t < targets; ++t) {
      uint32_t old;
      std::memcpy(&old, &out[t][c], 4);
      const uint32_t merged = (v & colour_bits) | (old & ~colour_bits);
      std::memcpy(&out[t][c], &merged, 4);
    }
  }
}

#if defined(__x86_64__)
// Eight pixels at a time: 24 bytes spread to eight 4-byte lanes in registers, then
// merged with each target's own fourth bytes.
template <int targets>
__attribute__((target("avx2"))) void StoreWide(const uint8_t* bgr, bgra* const out[2], int n) {
  const __m256i spread = _mm256_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1,  //
                                          0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
  const __m256i fourth = _mm256_set1_epi32(int32_t(~colour_bits));
  const int groups = n / 8 * 8;
  for (int c = 0; c < groups; c += 8) {
    const uint8_t* in = bgr + size_t(c) * 3;
    const __m256i v = _mm256_shuffle_epi8(
        _mm256_setr_m128i(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in)),
                          _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 12))),
        spread);
    for (int t = 0; t < targets; ++t) {
      __m256i* to = reinterpret_cast<__m256i*>(out[t] + c);
      _mm256_storeu_si256(to, _mm256_blendv_epi8(v, _mm256_loadu_si256(to), fourth));
    }
  }
  StorePlain<targets>(bgr, out, groups, n);
}
#endif

template <int targets>
void Store(const uint8_t* bgr, bgra* const out[2], int n) {
#if defined(__x86_64__)
  if (WideLanes()) return StoreWide<targets>(bgr, out, n);
#endif
  StorePlain<targets>(bgr, out, 0, n);
}

}  // namespace

void StoreColours(const uint8_t* bgr, bgra* out, int n) {
  bgra* const targets[2] = {out, nullptr};
  Store<1>(bgr, targets, n);
}

void StoreColours(const uint8_t* bgr, bgra* out, bgra* second, int n) {
  bgra* const targets[2] = {out, second};
  Store<2>(bgr, targets, n);
}
