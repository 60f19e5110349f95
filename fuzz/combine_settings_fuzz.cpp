// Runs the combining pass with settings taken from arbitrary bytes: every operator
// code, bias, contrast mode, effect, kernel, channel adjustment, slope and target
// rectangle, in or out of range. The pass must stay inside its buffers and never
// overflow; the sanitizers watch.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "engine/base/process_state.h"
#include "engine/base/view_core.h"
#include "sources/document.h"

namespace {

class reader {
 public:
  reader(const uint8_t* data, size_t size) : data(data), size(size) {}
  uint8_t Byte() { return at < size ? data[at++] : 0; }
  int32_t Int() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= uint32_t(Byte()) << (8 * i);
    return int32_t(v);
  }
  int16_t Short() {
    const uint8_t low = Byte();
    return int16_t(low | Byte() << 8);
  }

 private:
  const uint8_t* data;
  size_t size;
  size_t at = 0;
};

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static CvorbelDoc doc;
  static std::unique_ptr<CvorbelViewCore> view = std::make_unique<CvorbelViewCore>(&doc);
  reader in(data, size);

  vrect& rect = view->target_rect;
  rect = {in.Short(), in.Short(), in.Short(), in.Short()};
  // The largest targets are sound too (a unit test runs one); here they would only
  // slow the search down.
  const int64_t w = int64_t(rect.right) - rect.left, h = int64_t(rect.bottom) - rect.top;
  if (w > 300 || h > 300 || w < -300 || h < -300) return 0;

  method_code = in.Int();
  source_bias = in.Int();
  contrast_mode = in.Int();
  contrast_bias = in.Int();
  effect_code = in.Int();
  base_color = {in.Byte(), in.Byte(), in.Byte()};
  for (int& k : view->kernel) k = in.Int();
  view->kernel_size = in.Int();
  view->kernel_divisor = in.Int();
  view->kernel_offset = in.Int();
  for (channel_pair& p : view->channel_adjust) p = {in.Int(), in.Int()};
  for (slope_pair& p : view->position_slopes) p = {in.Int(), in.Int()};
  view->perspective_on = in.Byte() & 1;
  view->fast_preview = in.Byte() & 1;

  // The rest of the input paints both layers over the target's rows and columns.
  for (source_layer& layer : view->layers)
    for (int r = 0; r < 300; ++r) {
      uint8_t* rgb = layer.Pixel(r, 0);
      uint8_t* mask = &layer.Mask(r, 0);
      for (int c = 0; c < 300; ++c) {
        const uint8_t v = in.Byte();
        rgb[c * 3] = v;
        rgb[c * 3 + 1] = uint8_t(v * 7);
        rgb[c * 3 + 2] = uint8_t(v ^ 0x5A);
        mask[c] = v % 5 != 0;
      }
    }

  source_count = 2;
  view->CombineTarget();
  Check(target_width >= 0 && target_width <= max_target_width);
  Check(target_height >= 0 && target_height <= max_target_height);
  return 0;
}
