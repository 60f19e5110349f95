#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "sources/pasted_bitmap.h"
#include "sources/software_pattern.h"

namespace {

constexpr int canvas_w = 2048, canvas_h = 1536;

// Each shape at the largest canvas and size 1 (jiggles at size 4, their most walks);
// compare with BM_Recombine.
void BM_GeneratePattern(benchmark::State& state) {
  pattern_choice choice;
  choice.shape = int(state.range(0));
  choice.size_index = choice.shape == shape_jiggles ? 3 : 0;
  for (auto _ : state) {
    image_record record;
    benchmark::DoNotOptimize(GenerateSoftwarePattern(choice, canvas_w, canvas_h, record));
  }
}
BENCHMARK(BM_GeneratePattern)
    ->DenseRange(shape_null, shape_blank)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A 32-bit bottom-up clipboard bitmap of the largest canvas pasted into a record.
void BM_PasteBitmap32(benchmark::State& state) {
  std::vector<uint8_t> pixels(size_t(canvas_w) * canvas_h * 4);
  std::mt19937 rng(3);
  for (uint8_t& p : pixels) p = uint8_t(rng());
  std::vector<uint8_t> block = BitmapBlockFromPixels(canvas_w, canvas_h, pixels.data());
  block[8] = uint8_t(canvas_h), block[9] = uint8_t(canvas_h >> 8), block[10] = block[11] = 0;
  for (auto _ : state) {
    image_record record;
    benchmark::DoNotOptimize(NormalisePastedBitmap(block.data(), block.size(), record));
  }
}
BENCHMARK(BM_PasteBitmap32)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
