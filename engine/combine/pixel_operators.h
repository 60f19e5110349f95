#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <tuple>
#include <utility>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "engine/base/process_state.h"

// One layer pixel as the operators receive it.
struct pixel3 {
  uint8_t blue = 0;
  uint8_t green = 0;
  uint8_t red = 0;
};

// A combining operator: decides one target pixel from the two placed sources.
// in1 and in2 are the layers' coverage bytes (1 covered). Every operator writes
// all three output bytes. The classes hold no data; the bodies sit in this header
// so that a row loop over one concrete class inlines them.
class pixel {
 public:
  virtual ~pixel() = default;
  virtual void operator()(uint8_t, uint8_t, pixel3, pixel3, uint8_t*, uint8_t*, uint8_t*) const {}

 protected:
  pixel() = default;
  pixel(const pixel&) = default;
  pixel& operator=(const pixel&) = default;
};

namespace pixel_rules {

// A bias outside 0..256 would overflow the weights; the operators see it clamped.
inline int Bias() { return std::clamp(source_bias, 0, 256); }

inline void Put(pixel3 p, uint8_t* b, uint8_t* g, uint8_t* r) {
  *b = p.blue;
  *g = p.green;
  *r = p.red;
}

inline void PutBase(uint8_t* b, uint8_t* g, uint8_t* r) {
  *b = base_color.blue;
  *g = base_color.green;
  *r = base_color.red;
}

// The frame shared by the two-source operators: the rule decides only where both
// sources cover the pixel.
template <class Rule>
inline void Framed(uint8_t in1, uint8_t in2, pixel3 p1, pixel3 p2, uint8_t* b, uint8_t* g, uint8_t* r,
                   Rule rule) {
  if (in1 == 1 && in2 == 1) {
    rule();
  } else if (in1 == 1) {
    Put(p1, b, g, r);
  } else if (in1 == 0 && in2 == 0) {
    PutBase(b, g, r);
  } else {
    Put(p2, b, g, r);
  }
}

inline uint8_t Clamp255(int v) { return uint8_t(std::clamp(v, 0, 255)); }

// As the processor's own maximum and minimum where it has them: a branch here would
// follow the pixels and miss half the time.
inline double ClampWeight(double t, double top) {
#ifdef __SSE2__
  return _mm_cvtsd_f64(_mm_min_sd(_mm_max_sd(_mm_set_sd(t), _mm_setzero_pd()), _mm_set_sd(top)));
#else
  return std::clamp(t, 0.0, top);
#endif
}

// The square root of a sum of squares, without the error check for negative input.
inline double RootOfSquares(double v) {
#ifdef __SSE2__
  const __m128d x = _mm_set_sd(v);
  return _mm_cvtsd_f64(_mm_sqrt_sd(x, x));
#else
  return std::sqrt(v);
#endif
}

// Weighted blend of one channel, t in 1/256 of source 1.
inline uint8_t Blend(uint8_t c1, uint8_t c2, double t, double total) {
  return uint8_t(int((c1 * t + c2 * (total - t)) * 0.00390625));
}

inline void BlendAll(pixel3 p1, pixel3 p2, double t, double total, uint8_t* b, uint8_t* g, uint8_t* r) {
  *b = Blend(p1.blue, p2.blue, t, total);
  *g = Blend(p1.green, p2.green, t, total);
  *r = Blend(p1.red, p2.red, t, total);
}

// trunc(w * c) for the luma weights of blue, green and red, for every byte c.
struct luma_products {
  int blue[256], green[256], red[256];
};

constexpr luma_products MakeLumaProducts() {
  luma_products t{};
  for (int c = 0; c < 256; ++c) {
    t.blue[c] = int(7.04 * c);
    t.green[c] = int(37.76 * c);
    t.red[c] = int(19.2 * c);
  }
  return t;
}

inline constexpr luma_products luma = MakeLumaProducts();

inline int LumaDifference(pixel3 p1, pixel3 p2) {
  return luma.blue[p1.blue] - luma.blue[p2.blue] + luma.green[p1.green] - luma.green[p2.green] +
         luma.red[p1.red] - luma.red[p2.red];
}

inline float Chroma(pixel3 p) {
  const float r = p.red;
  const float g = p.green;
  const float b = p.blue;
  const double along = r - g * 0.5 - b * 0.5;
  const double across = 0.8660254037844386 * (g - b);
  return float(RootOfSquares(along * along + across * across));
}

inline void ChromaBlend(float s, pixel3 p1, pixel3 p2, uint8_t* b, uint8_t* g, uint8_t* r) {
  BlendAll(p1, p2, ClampWeight(0.1 * s, 256.0), 256.0, b, g, r);
}

// Subtraction weights of source 1 (a) and source 2 (b).
inline void SubtractWeights(int bias, int& a, int& b) {
  if (bias <= 127) {
    a = 127;
    b = bias;
  } else {
    a = 255 - bias;
    b = 127;
  }
}

// Both tests gather the channels' signs without branching: the answer flips from
// pixel to pixel.
inline bool AllAtLeast(pixel3 p, int level) {
  return ((p.blue - level) | (p.green - level) | (p.red - level)) >= 0;
}

inline bool AllAboveWithBias(pixel3 p, int bias) {
  return ((p.blue + bias - 256) | (p.green + bias - 256) | (p.red + bias - 256)) >= 0;
}

}  // namespace pixel_rules

class picture1 final : public pixel {
 public:
  void operator()(uint8_t in1, uint8_t, pixel3 p1, pixel3, uint8_t* b, uint8_t* g,
                  uint8_t* r) const override {
    if (in1 == 1)
      pixel_rules::Put(p1, b, g, r);
    else
      pixel_rules::PutBase(b, g, r);
  }
};

class picture2 final : public pixel {
 public:
  void operator()(uint8_t, uint8_t in2, pixel3, pixel3 p2, uint8_t* b, uint8_t* g,
                  uint8_t* r) const override {
    if (in2 == 1)
      pixel_rules::Put(p2, b, g, r);
    else
      pixel_rules::PutBase(b, g, r);
  }
};

class most final : public pixel {
 public:
  void operator()(uint8_t in1, uint8_t in2, pixel3 p1, pixel3 p2, uint8_t* b, uint8_t* g,
                  uint8_t* r) const override {
    using namespace pixel_rules;
    Framed(in1, in2, p1, p2, b, g, r, [&] {
      const int t = (127 - Bias()) * 128 + LumaDifference(p1, p2);
      BlendAll(p1, p2, ClampWeight(0.1 * t, 256.0), 256.0, b, g, r);
    });
  }
};

class least final : public pixel {
 public:
  void operator()(uint8_t in1, uint8_t in2, pixel3 p1, pixel3 p2, uint8_t* b, uint8_t* g,
                  uint8_t* r) const override {
    using namespace pixel_rules;
    Framed(in1, in2, p1, p2, b, g, r, [&] {
      const int t = (127 - Bias()) * 128 - LumaDifference(p1, p2);
      BlendAll(p1, p2, ClampWeight(0.1 * t, 255.0), 255.0, b, g, r);
    });
  }
};

class saturated final : public pixel {
 public:
  void operator()(uint8_t in1, uint8_t in2, pixel3 p1, pixel3 p2, uint8_t* b, uint8_t* g,
                  uint8_t* r) const override {
    using namespace pixel_rules;
    Framed(in1, in2, p1, p2, b, g, r, [&] {
      const float s = 64.0f * Chroma(p1) - 64.0f * Chroma(p2) + float((127 - Bias()) * 128);
      ChromaBlend(s, p1, p2, b, g, r);
    });
  }
};

class grey final : public pixel {
 public:
  void operator()(uint8_t in1, uint8_t in2, pixel3 p1, pixel3 p2, uint8_t* b, uint8_t* g,
                  uint8_t* r) const override {
    using namespace pixel_rules;
    Framed(in1, in2, p1, p2, b, g, r, [&] {
      const float s =
          64.0f * (255.0f - Chroma(p1)) - 64.0f * (255.0f - Chroma(p2)) + float((127 - Bias()) * 128);
      ChromaBlend(s, p1, p2, b, g, r);
    });
  }
};

class subtract12 final : public pixel {
 public:
  void operator()(uint8_t in1, uint8_t in2, pixel3 p1, pixel3 p2, uint8_t* b, uint8_t* g,
                  uint8_t* r) const override {
    using namespace pixel_rules;
    Framed(in1, in2, p1, p2, b, g, r, [&] {
      const int bias = Bias();
      int wa, wb;
      SubtractWeights(bias, wa, wb);
      *b = Clamp255(((p1.blue * wa - p2.blue * wb) >> 7) + bias);
      *g = Clamp255(((p1.green * wa - p2.green * wb) >> 7) + bias);
      *r = Clamp255(((p1.red * wa - p2.red * wb) >> 7) + bias);
    });
  }
};

class subtract21 final : public pixel {
 public:
  void operator()(uint8_t in1, uint8_t in2, pixel3 p1, pixel3 p2, uint8_t* b, uint8_t* g,
                  uint8_t* r) const override {
    using namespace pixel_rules;
    Framed(in1, in2, p1, p2, b, g, r, [&] {
      const int bias = Bias();
      int wa, wb;
      SubtractWeights(bias, wa, wb);
      *b = Clamp255(((p2.blue * wb - p1.blue * wa) >> 7) - bias + 255);
      *g = Clamp255(((p2.green * wb - p1.green * wa) >> 7) - bias + 255);
      *r = Clamp255(((p2.red * wb - p1.red * wa) >> 7) - bias + 255);
    });
  }
};

class average final : public pixel {
 public:
  void operator()(uint8_t in1, uint8_t in2, pixel3 p1, pixel3 p2, uint8_t* b, uint8_t* g,
                  uint8_t* r) const override {
    using namespace pixel_rules;
    Framed(in1, in2, p1, p2, b, g, r, [&] {
      const int w2 = Bias();
      const int w1 = 256 - w2;
      *b = uint8_t((p1.blue * w1 + p2.blue * w2) >> 8);
      *g = uint8_t((p1.green * w1 + p2.green * w2) >> 8);
      *r = uint8_t((p1.red * w1 + p2.red * w2) >> 8);
    });
  }
};

namespace pixel_rules {
enum class pick { source1, source2, base };

inline pixel3 Choice(pick which, pixel3 p1, pixel3 p2) {
  return which == pick::source1   ? p1
         : which == pick::source2 ? p2
                                  : pixel3{base_color.blue, base_color.green, base_color.red};
}

inline void PutEither(bool pass, pixel3 yes, pixel3 no, uint8_t* b, uint8_t* g, uint8_t* r) {
  *b = pass ? yes.blue : no.blue;
  *g = pass ? yes.green : no.green;
  *r = pass ? yes.red : no.red;
}
}  // namespace pixel_rules

// The conditional operators: the bias is a grey threshold tested on source 1 (every
// channel at least the bias) or on source 2 (every channel plus the bias above 255).
template <bool on_source2, pixel_rules::pick when_true, pixel_rules::pick when_false>
class conditional_pixel : public pixel {
 public:
  void operator()(uint8_t in1, uint8_t in2, pixel3 p1, pixel3 p2, uint8_t* b, uint8_t* g,
                  uint8_t* r) const override {
    using namespace pixel_rules;
    Framed(in1, in2, p1, p2, b, g, r, [&] {
      const bool pass = on_source2 ? AllAboveWithBias(p2, Bias()) : AllAtLeast(p1, Bias());
      PutEither(pass, Choice(when_true, p1, p2), Choice(when_false, p1, p2), b, g, r);
    });
  }
};

class comp12 final : public conditional_pixel<false, pixel_rules::pick::source1, pixel_rules::pick::source2> {
};
class comp21 final : public conditional_pixel<false, pixel_rules::pick::source2, pixel_rules::pick::source1> {
};
class comp_h_12 final
    : public conditional_pixel<true, pixel_rules::pick::source1, pixel_rules::pick::source2> {};
class comp_h_21 final
    : public conditional_pixel<true, pixel_rules::pick::source2, pixel_rules::pick::source1> {};
class comp12_bgnd final
    : public conditional_pixel<false, pixel_rules::pick::source1, pixel_rules::pick::base> {};
class comp21_bgnd final
    : public conditional_pixel<false, pixel_rules::pick::source2, pixel_rules::pick::base> {};
class comp_h_12_bgnd final
    : public conditional_pixel<true, pixel_rules::pick::source1, pixel_rules::pick::base> {};
class comp_h_21_bgnd final
    : public conditional_pixel<true, pixel_rules::pick::source2, pixel_rules::pick::base> {};

// The operator classes in the order of their method codes.
using operator_classes =
    std::tuple<picture1, picture2, most, least, saturated, grey, subtract12, subtract21, average, comp12,
               comp21, comp_h_12, comp_h_21, comp12_bgnd, comp21_bgnd, comp_h_12_bgnd, comp_h_21_bgnd>;
inline constexpr int operator_count = int(std::tuple_size_v<operator_classes>);

namespace pixel_rules {
template <class F, size_t... code>
bool WithOperatorOf(int wanted, F& f, std::index_sequence<code...>) {
  return ((wanted == int(code) ? (f(std::tuple_element_t<code, operator_classes>{}), true) : false) || ...);
}
}  // namespace pixel_rules

// Calls f with a value of the operator class for code 0..16; false for any other code.
template <class F>
bool WithOperator(int code, F&& f) {
  return pixel_rules::WithOperatorOf(code, f, std::make_index_sequence<operator_count>{});
}
